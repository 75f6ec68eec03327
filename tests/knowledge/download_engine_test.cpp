#include "knowledge/download_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>

#include "knowledge/download_messages.h"
#include "knowledge/file_server_messages.h"
#include "knowledge/transfer_error.h"
#include "platform/code_page.h"
#include "platform/headless_message_loop.h"
#include "routed_namespaces.h"
#include "support/temp_dir.h"
#include "test_file_server.h"
#include "zelk_lib_stand_in.h"

namespace knowledge {
namespace {

using knowledge_testing::PeerSocket;
using knowledge_testing::RoutedNamespaces;
using knowledge_testing::StandIn;
using knowledge_testing::TestFileServer;
using namespace std::string_literals;

constexpr std::uint32_t kStopNow = 0x7001;  // a test message: stop the engine from the window

struct Seen {
  std::uint32_t message = 0;
  std::u16string fileName;
  StoreFileKind kind = StoreFileKind::Knowlege;
  std::int32_t total = 0;
  std::int32_t done = 0;
  std::int32_t result = -1;
  std::u16string reason;
};

class Recorder : public platform::MessageTarget {
 public:
  void onMessage(platform::Message& message) override {
    Seen seen{message.message};
    if (auto* started = message.payload.get<DownloadStarted>()) {
      seen.fileName = started->FileName;
      seen.kind = started->Kind;
    } else if (auto* progress = message.payload.get<DownloadProgress>()) {
      seen.fileName = progress->FileName;
      seen.kind = progress->Kind;
      seen.total = progress->Total;
      seen.done = progress->Done;
    } else if (auto* ended = message.payload.get<DownloadEnded>()) {
      seen.fileName = ended->FileName;
      seen.kind = ended->Kind;
      seen.result = ended->Result;
      seen.reason = ended->Reason;
    }
    messages.push_back(seen);
    if (message.message == kStopNow && onStop) onStop();
    if (message.message == core::WM_DOWNLOAD_ENDED && onEnded) onEnded();
  }

  std::vector<Seen> of(std::uint32_t kind) const {
    std::vector<Seen> found;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(found),
                 [&](const Seen& seen) { return seen.message == kind; });
    return found;
  }
  Seen ended() const {
    const auto all = of(core::WM_DOWNLOAD_ENDED);
    return all.empty() ? Seen{} : all.back();
  }

  std::vector<Seen> messages;
  std::function<void()> onStop;
  std::function<void()> onEnded;
};

std::string sampleContent(std::size_t size, unsigned seed = 7) {
  std::mt19937 random(seed);
  std::string content(size, '\0');
  for (char& c : content) c = static_cast<char>(random() & 0xFF);
  return content;
}

class DownloadEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetAnsiCodesetOverride("UTF-8");
    StandIn().internetReachable = true;
    StandIn().fileInUseAnswers = 0;
    StandIn().fileInUseCalls = 0;
    StandIn().onFileInUseCheck = nullptr;
    window = loop.addTarget(recorder);
    mainWindow = loop.addTarget(mainRecorder);
    engine = std::make_unique<DownloadEngine>(core::ServiceContext{&lib, &loop, mainWindow},
                                              [this](const std::string& line) {
                                                std::lock_guard lock(logMutex);
                                                logLines.push_back(line);
                                              });
  }
  void TearDown() override {
    engine.reset();
    StandIn().onFileInUseCheck = nullptr;
    platform::SetAnsiCodesetOverride("");
  }

  FileServerQuery queryFor(const TestFileServer& server) {
    return [this, port = server.port()](StoreFileKind, const std::u16string& fileName,
                                        FileServerAddress& address) {
      ++queries;
      queriedName = fileName;
      address = FileServerAddress{"127.0.0.1", port, "localhost"};
      return true;
    };
  }
  std::u16string localPath(const std::string& name = "Downloads/Knowlege/a.pdf") const {
    return platform::Utf8ToUtf16(temp.file(name));
  }
  std::string localContent(const std::string& name = "Downloads/Knowlege/a.pdf") const {
    return temp.read(name);
  }
  bool start(const TestFileServer& server, std::int32_t maxRetries = 5,
             const std::u16string& fileName = u"kb/a.pdf") {
    return engine->StartDownload(window, fileName, localPath(), StoreFileKind::Knowlege,
                                 queryFor(server), maxRetries);
  }
  void runToEnd() { ASSERT_TRUE(loop.waitIdle(60000)); }
  std::vector<std::string> logs() {
    std::lock_guard lock(logMutex);
    return logLines;
  }
  int logsContaining(const std::string& part) {
    const auto lines = logs();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
      return l.find(part) != std::string::npos;
    }));
  }

  testing_support::TempDir temp;
  platform::ManualClock clock;
  platform::HeadlessMessageLoop loop{clock};
  core::ZelkLibBinding lib = knowledge_testing::MakeStandInBinding();
  Recorder recorder;
  Recorder mainRecorder;
  platform::WindowId window = 0;
  platform::WindowId mainWindow = 0;
  std::mutex logMutex;
  std::vector<std::string> logLines;
  std::atomic<int> queries{0};
  std::u16string queriedName;
  std::unique_ptr<DownloadEngine> engine;
};

// ---- Whole transfers -------------------------------------------------------------------------

TEST_F(DownloadEngineTest, FetchesAFileBlockByBlockIntoNewFolders) {
  const std::string content = sampleContent(10000);
  TestFileServer server([&](PeerSocket& peer, int) { server.ServeFile(peer, content); });
  ASSERT_TRUE(start(server));
  EXPECT_TRUE(engine->IsRunning());
  runToEnd();

  EXPECT_EQ(localContent(), content);
  EXPECT_FALSE(engine->IsRunning());
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].offset, 0);
  EXPECT_EQ(requests[1].offset, 4096);
  EXPECT_EQ(requests[2].offset, 8192);
  EXPECT_EQ(requests[0].fileName, "kb/a.pdf");
  EXPECT_EQ(requests[0].kindWireValue, 0);
  EXPECT_EQ(queriedName, u"kb/a.pdf");

  ASSERT_GE(recorder.messages.size(), 4u);
  EXPECT_EQ(recorder.messages.front().message, core::WM_DOWNLOAD_STARTED);
  EXPECT_EQ(recorder.messages.front().fileName, u"kb/a.pdf");
  const auto progress = recorder.of(core::WM_DOWNLOAD_PROGRESS);
  ASSERT_GE(progress.size(), 2u);
  EXPECT_EQ(progress.front().total, 100);
  EXPECT_EQ(progress.front().done, 0);
  EXPECT_EQ(progress.back().total, 10000);
  EXPECT_EQ(progress.back().done, 10000);
  EXPECT_EQ(recorder.messages.back().message, core::WM_DOWNLOAD_ENDED);
  EXPECT_EQ(recorder.ended().result, kDownloadResultFinished);
  EXPECT_EQ(recorder.ended().reason, u"");
  EXPECT_EQ(logsContaining("下载文件:"), 1);
}

TEST_F(DownloadEngineTest, ATenByteFileTakesOneRequest) {
  const std::string content = "0123456789";
  TestFileServer server([&](PeerSocket& peer, int) { server.ServeFile(peer, content); });
  ASSERT_TRUE(start(server));
  runToEnd();
  EXPECT_EQ(localContent(), content);
  ASSERT_TRUE(server.waitForSessions(1));
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.stops(), 0);
  EXPECT_EQ(recorder.ended().result, kDownloadResultFinished);
}

TEST_F(DownloadEngineTest, ResumesFromTheLengthOfTheLocalFile) {
  const std::string content = sampleContent(13000);
  temp.write("Downloads/Knowlege/a.pdf", content.substr(0, 5000));
  TestFileServer server([&](PeerSocket& peer, int) { server.ServeFile(peer, content); });
  ASSERT_TRUE(start(server));
  runToEnd();
  EXPECT_EQ(localContent(), content);
  ASSERT_EQ(server.requests().size(), 2u);
  EXPECT_EQ(server.requests()[0].offset, 5000);
  EXPECT_EQ(server.requests()[1].offset, 5000 + 4096);
}

TEST_F(DownloadEngineTest, ALocalFileAlreadyCompleteOrLongerEndsWithThreeUntouched) {
  for (const std::size_t localSize : {std::size_t{3000}, std::size_t{4500}}) {
    const std::string content = sampleContent(3000);
    const std::string local = sampleContent(localSize, 99);
    temp.write("Downloads/Knowlege/a.pdf", local);
    recorder.messages.clear();
    TestFileServer server([&](PeerSocket& peer, int) { server.ServeFile(peer, content); });
    ASSERT_TRUE(start(server));
    runToEnd();
    EXPECT_EQ(localContent(), local) << localSize;
    EXPECT_EQ(recorder.ended().result, kDownloadResultFinished);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].offset, static_cast<std::int32_t>(localSize));
    EXPECT_EQ(recorder.of(core::WM_DOWNLOAD_PROGRESS).back().done,
              static_cast<std::int32_t>(localSize));
  }
}

TEST_F(DownloadEngineTest, KeepsTheServerAddressForTheNextTransfer) {
  const std::string content = sampleContent(100);
  TestFileServer server([&](PeerSocket& peer, int) { server.ServeFile(peer, content); });
  ASSERT_TRUE(start(server));
  runToEnd();
  EXPECT_EQ(queries, 1);
  EXPECT_EQ(engine->serverAddress().ServerPort, server.port());
  std::filesystem::remove(temp.file("Downloads/Knowlege/a.pdf"));
  ASSERT_TRUE(start(server));
  runToEnd();
  EXPECT_EQ(queries, 1);  // connected at the known address at once
  EXPECT_EQ(server.connections(), 2);
  EXPECT_EQ(localContent(), content);
}

TEST_F(DownloadEngineTest, ProgressComesAtMostEveryHalfSecondBesidesFirstAndLast) {
  const std::string content = sampleContent(3 * 1024 * 1024);  // 768 blocks, 1 ms per round
  TestFileServer server([&](PeerSocket& peer, int) { server.ServeFile(peer, content); });
  ASSERT_TRUE(start(server));
  runToEnd();
  EXPECT_EQ(localContent(), content);
  const auto progress = recorder.of(core::WM_DOWNLOAD_PROGRESS);
  // 768 rounds of 1 ms: the first, one at 500 ms and the last.
  ASSERT_EQ(progress.size(), 3u);
  EXPECT_EQ(progress[1].total, static_cast<std::int32_t>(content.size()));
  EXPECT_GT(progress[1].done, 0);
  EXPECT_LT(progress[1].done, progress[2].done);
}

TEST_F(DownloadEngineTest, AnEmptyFileNameStartsNothing) {
  TestFileServer server([](PeerSocket&, int) {});
  EXPECT_FALSE(start(server, 5, u""));
  EXPECT_FALSE(engine->IsRunning());
  runToEnd();
  EXPECT_TRUE(recorder.messages.empty());
}

// ---- Failed attempts --------------------------------------------------------------------------

TEST_F(DownloadEngineTest, AFileNotOnTheServerEndsAtOnceWithFive) {
  TestFileServer server([&](PeerSocket& peer, int) {
    if (server.nextRequest(peer)) {
      peer.write(EncodeFrame(EncodeError(platform::Utf16ToAnsi(u"服务器上不存在文件: kb/a.pdf"))));
    }
    peer.readToEnd();
  });
  ASSERT_TRUE(start(server));
  runToEnd();
  EXPECT_EQ(recorder.ended().result, kDownloadResultNotOnServer);
  EXPECT_EQ(recorder.ended().reason, u"服务器上不存在文件: kb/a.pdf");
  EXPECT_EQ(server.connections(), 1);
  EXPECT_EQ(clock.sleptMs() % 5000, clock.sleptMs() % 1000);  // no 5 s retry pause
  EXPECT_LT(clock.sleptMs(), 5000);
  EXPECT_EQ(logsContaining("次因为异常【服务器上不存在文件"), 1);
  EXPECT_EQ(logsContaining("出现异常"), 0);
}

TEST_F(DownloadEngineTest, TenEmptyFramesFailTheAttemptAndARetryFollows) {
  TestFileServer server([&](PeerSocket& peer, int) {
    if (!server.nextRequest(peer)) return;
    for (int i = 0; i < 10; ++i) peer.write("0\0\0\0"s);
    peer.readToEnd();
  });
  ASSERT_TRUE(start(server, 1));
  runToEnd();
  EXPECT_EQ(server.connections(), 2);
  EXPECT_EQ(recorder.ended().result, kDownloadResultOther);
  EXPECT_EQ(recorder.ended().reason, u"与文件服务器失去联系");
  // Each attempt: ten rounds of 1 ms, nine 20 ms pauses after empty rounds; 5 s between.
  EXPECT_EQ(clock.sleptMs(), 2 * (10 * 1 + 9 * 20) + 5000);
  EXPECT_EQ(logsContaining("次因为异常【与文件服务器失去联系】"), 2);
}

TEST_F(DownloadEngineTest, LengthFieldsOfLettersCountAsEmptyRounds) {
  TestFileServer server([&](PeerSocket& peer, int) {
    if (!server.nextRequest(peer)) return;
    for (int i = 0; i < 10; ++i) peer.write("abcd"s);
    peer.readToEnd();
  });
  ASSERT_TRUE(start(server, 0));
  runToEnd();
  EXPECT_EQ(recorder.ended().reason, u"与文件服务器失去联系");
  EXPECT_EQ(localContent(), "");
}

TEST_F(DownloadEngineTest, FiveRetriesGiveSixNumberedAttemptLinesAndOneFinalLine) {
  // Reads the request and closes the connection without an answer.
  TestFileServer server([&](PeerSocket& peer, int) { server.nextRequest(peer); });
  ASSERT_TRUE(start(server, 5));
  runToEnd();
  EXPECT_EQ(server.connections(), 6);
  for (int attempt = 1; attempt <= 6; ++attempt) {
    EXPECT_EQ(logsContaining("第【" + std::to_string(attempt) + "】次因为异常【连接已关闭】"), 1)
        << attempt;
  }
  EXPECT_EQ(logsContaining("第【7】"), 0);
  EXPECT_EQ(logsContaining("下载文件 kb/a.pdf 到本地 "), 1);
  EXPECT_EQ(logsContaining("出现异常: 连接已关闭"), 1);
  EXPECT_EQ(recorder.ended().result, kDownloadResultOther);
  EXPECT_EQ(recorder.ended().reason, u"连接已关闭");
  EXPECT_GE(clock.sleptMs(), 5 * 5000);
}

struct BrokenReply {
  const char* name;
  std::function<std::string()> frame;
  const char16_t* reason;
  bool closeAfterReply = false;  // else the server keeps the connection until the client goes
};

class BrokenReplyTest : public DownloadEngineTest,
                        public ::testing::WithParamInterface<BrokenReply> {};

TEST_P(BrokenReplyTest, EndsTheAttemptWithoutWritingAByte) {
  TestFileServer server([&](PeerSocket& peer, int) {
    if (server.nextRequest(peer)) peer.write(GetParam().frame());
    if (!GetParam().closeAfterReply) peer.readToEnd();
  });
  ASSERT_TRUE(start(server, 0));
  runToEnd();
  EXPECT_EQ(recorder.ended().result, kDownloadResultOther);
  EXPECT_EQ(recorder.ended().reason, GetParam().reason);
  EXPECT_EQ(localContent(), "");
  EXPECT_EQ(server.connections(), 1);
}

std::string blockWith(std::int32_t total, std::int32_t offset, std::int32_t count) {
  std::string payload = EncodeDataBlock(total, offset, std::string(100, 'd'));
  payload.replace(12, 4, std::string(reinterpret_cast<const char*>(&count), 4));
  return EncodeFrame(payload);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, BrokenReplyTest,
    ::testing::Values(
        BrokenReply{"OffsetNotTheLocalSize", [] { return blockWith(5000, 4096, 100); },
                    u"文件服务器返回的数据块位置与本地文件长度不一致."},
        BrokenReply{"TotalMinusOne", [] { return blockWith(-1, 0, 100); }, kBadBlockFieldsReason},
        BrokenReply{"Count5000", [] { return blockWith(9000, 0, 5000); }, kBadBlockCountReason},
        BrokenReply{"CountBeyondTotal", [] { return blockWith(50, 0, 100); }, kBadBlockCountReason},
        BrokenReply{"NoProgress", [] { return blockWith(50, 0, 0); }, kBadBlockCountReason},
        BrokenReply{"ShortBlock",
                    [] { return EncodeFrame(EncodeDataBlock(10, 0, "0123456789").substr(0, 200)); },
                    kShortMessageReason},
        BrokenReply{"ShortError", [] { return EncodeFrame("\x1e\0\0\0oops"s); },
                    kShortMessageReason},
        BrokenReply{"LongLengthShortBody", [] { return "9999"s + std::string(10, 'x'); },
                    kConnectionClosedReason, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DownloadEngineTest, AnErrorTextWithoutTerminatorIsReadToTheEndOfItsField) {
  TestFileServer server([&](PeerSocket& peer, int) {
    if (server.nextRequest(peer)) {
      peer.write(EncodeFrame("\x1e\0\0\0"s + std::string(1024, 'E')));
    }
    peer.readToEnd();
  });
  ASSERT_TRUE(start(server, 0));
  runToEnd();
  EXPECT_EQ(recorder.ended().reason, std::u16string(1024, u'E'));
}

TEST_F(DownloadEngineTest, ATotalThatChangesBetweenBlocksEndsTheAttempt) {
  const std::string content = sampleContent(9000);
  TestFileServer server([&](PeerSocket& peer, int) {
    server.nextRequest(peer);
    peer.write(TestFileServer::BlockFrame(content, 0));
    server.nextRequest(peer);
    peer.write(TestFileServer::BlockFrame(content + "more", 4096));
    peer.readToEnd();
  });
  ASSERT_TRUE(start(server, 0));
  runToEnd();
  EXPECT_EQ(recorder.ended().reason, u"文件服务器返回的文件长度发生了变化.");
  EXPECT_EQ(localContent(), content.substr(0, 4096));
}

TEST_F(DownloadEngineTest, AFileNameOf300BytesIsRefusedBeforeAnythingIsSent) {
  TestFileServer server([&](PeerSocket& peer, int) { server.ServeFile(peer, "x"); });
  ASSERT_TRUE(start(server, 5, std::u16string(300, u'n')));
  runToEnd();
  EXPECT_EQ(recorder.ended().result, kDownloadResultOther);
  EXPECT_EQ(recorder.ended().reason, kFileNameTooLongReason);
  EXPECT_EQ(server.connections(), 0);
  EXPECT_EQ(queries, 0);
  EXPECT_FALSE(std::filesystem::exists(temp.file("Downloads")));
}

TEST_F(DownloadEngineTest, NoConnectionAndNoInternetEndsWithSixAndNoRetry) {
  std::int32_t closedPort = 0;
  {
    knowledge_testing::LoopbackListener listener;
    closedPort = listener.port();
  }
  StandIn().internetReachable = false;
  const FileServerQuery query = [&](StoreFileKind, const std::u16string&, FileServerAddress& a) {
    ++queries;
    a = FileServerAddress{"127.0.0.1", closedPort, "localhost"};
    return true;
  };
  ASSERT_TRUE(
      engine->StartDownload(window, u"kb/a.pdf", localPath(), StoreFileKind::Knowlege, query, 5));
  runToEnd();
  EXPECT_EQ(recorder.ended().result, kDownloadResultNoNetwork);
  EXPECT_EQ(recorder.ended().reason, u"无法与文件服务器建立连线，请检查网络.");
  ASSERT_EQ(mainRecorder.messages.size(), 1u);
  EXPECT_EQ(mainRecorder.messages[0].message, core::WM_NETWORK_ERROR);
  EXPECT_EQ(queries, 0);  // the internet check comes before any address query
  EXPECT_LT(clock.sleptMs(), 5000);
  EXPECT_EQ(logsContaining("无法与文件服务器 :0 和 :0 建立连线，请检查网络."), 1);
}

// A network that dies under an established connection, the ways Linux reports it.
struct DeadNetwork {
  const char* name;
  RoutedNamespaces::Cut cut;
  const char16_t* reason;
};

class DeadNetworkTest : public DownloadEngineTest,
                        public ::testing::WithParamInterface<DeadNetwork> {};

TEST_P(DeadNetworkTest, EndsWithSixAndTellsTheMainWindowWithoutARetry) {
  RoutedNamespaces network;
  if (!network.available()) GTEST_SKIP() << "making network namespaces needs root and `ip`";
  const std::int32_t port = network.listenOnServer();
  ASSERT_GT(port, 0);
  const FileServerQuery query = [port](StoreFileKind, const std::u16string&,
                                       FileServerAddress& address) {
    address = FileServerAddress{RoutedNamespaces::kServerIp, port, ""};
    return true;
  };
  // Connected, and before the request goes out: the network dies, the internet with it.
  StandIn().onFileInUseCheck = [&] {
    StandIn().internetReachable = false;
    network.cut(GetParam().cut);
  };
  network.inClient([&] {
    ASSERT_TRUE(
        engine->StartDownload(window, u"kb/a.pdf", localPath(), StoreFileKind::Knowlege, query, 5));
  });
  runToEnd();
  EXPECT_EQ(recorder.ended().result, kDownloadResultNoNetwork);
  EXPECT_EQ(recorder.ended().reason, GetParam().reason);
  ASSERT_EQ(mainRecorder.messages.size(), 1u);
  EXPECT_EQ(mainRecorder.messages[0].message, core::WM_NETWORK_ERROR);
  EXPECT_EQ(logsContaining("次因为异常"), 1);
  EXPECT_EQ(StandIn().fileInUseCalls, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, DeadNetworkTest,
    ::testing::Values(
        DeadNetwork{"TimedOut", RoutedNamespaces::Cut::Silently, u"Connection timed out"},
        DeadNetwork{"HostUnreachable", RoutedNamespaces::Cut::HostUnreachable, u"No Route to Host"},
        DeadNetwork{"NetworkUnreachable", RoutedNamespaces::Cut::NetworkUnreachable,
                    u"Network is unreachable"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DownloadEngineTest, UnreachableServerIsQueriedThreeTimesPerRoundAndRetried) {
  std::int32_t closedPort = 0;
  {
    knowledge_testing::LoopbackListener listener;
    closedPort = listener.port();
  }
  const FileServerQuery query = [&](StoreFileKind, const std::u16string&, FileServerAddress& a) {
    ++queries;
    a = FileServerAddress{"127.0.0.1", closedPort, "localhost"};
    return queries % 3 == 0;  // two failures before every success
  };
  ASSERT_TRUE(
      engine->StartDownload(window, u"kb/a.pdf", localPath(), StoreFileKind::Knowlege, query, 1));
  runToEnd();
  EXPECT_EQ(recorder.ended().result, kDownloadResultOther);
  EXPECT_EQ(recorder.ended().reason, u"无法与文件服务器建立连线，请检查网络.");
  EXPECT_EQ(queries, 2 * 5 * 3);  // two attempts of five rounds, three queries each
  EXPECT_GE(logsContaining("连接到文件服务器 127.0.0.1:" + std::to_string(closedPort) + " 失败"),
            9);
  EXPECT_GE(logsContaining("连接到文件服务器 localhost:" + std::to_string(closedPort) + " 失败"),
            9);
  EXPECT_TRUE(mainRecorder.messages.empty());
}

TEST_F(DownloadEngineTest, WaitsWhileTheLocalFileIsInUse) {
  const std::string content = sampleContent(100);
  TestFileServer server([&](PeerSocket& peer, int) { server.ServeFile(peer, content); });
  StandIn().fileInUseAnswers = 3;
  ASSERT_TRUE(start(server));
  runToEnd();
  EXPECT_EQ(localContent(), content);
  EXPECT_EQ(StandIn().fileInUseCalls, 4);
  EXPECT_GE(clock.sleptMs(), 3000);
}

TEST_F(DownloadEngineTest, GivesUpAfterAHundredSecondsOfAFileInUse) {
  TestFileServer server([&](PeerSocket& peer, int) { server.ServeFile(peer, "x"); });
  StandIn().fileInUseAnswers = 1000;
  ASSERT_TRUE(start(server, 0));
  runToEnd();
  EXPECT_EQ(StandIn().fileInUseCalls, 100);
  EXPECT_EQ(recorder.ended().reason, u"本地已存在文件 " + localPath() +
                                         u" 且该文件正在被使用，造成无法进行断点续传检测并下载.");
  EXPECT_TRUE(server.requests().empty());
}

// ---- Stopping ----------------------------------------------------------------------------------

TEST_F(DownloadEngineTest, AStopDuringTheTransferSendsAStopMessageAndEndsWithZero) {
  const std::string content = sampleContent(20000);
  TestFileServer server([&](PeerSocket& peer, int) {
    for (int served = 0; const auto request = server.nextRequest(peer); ++served) {
      if (served == 2) {
        loop.post(window, kStopNow);  // hold the third block back: the user stops now
        continue;
      }
      peer.write(TestFileServer::BlockFrame(content, request->offset));
    }
  });
  bool endedInsideTheStop = false;
  recorder.onStop = [&] {
    engine->StopDownload();
    endedInsideTheStop = !recorder.of(core::WM_DOWNLOAD_ENDED).empty();
  };
  ASSERT_TRUE(start(server, 5));
  runToEnd();
  EXPECT_EQ(recorder.ended().result, kDownloadResultOther);
  EXPECT_EQ(recorder.ended().reason, u"");
  EXPECT_TRUE(endedInsideTheStop);
  EXPECT_EQ(localContent(), content.substr(0, 8192));
  EXPECT_EQ(server.connections(), 1);
  ASSERT_TRUE(server.waitForSessions(1));
  EXPECT_EQ(server.stops(), 1);
  EXPECT_EQ(logsContaining("次因为异常"), 0);
  EXPECT_FALSE(engine->IsRunning());
}

TEST_F(DownloadEngineTest, AStopDuringTheConnectRoundsEndsWithTheConnectionReasonAndNoRetry) {
  const FileServerQuery query = [&](StoreFileKind, const std::u16string&, FileServerAddress&) {
    if (++queries == 1) {
      loop.post(window, kStopNow);
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
      while (engine->IsRunning() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
      }
    }
    return false;
  };
  recorder.onStop = [&] { engine->StopDownload(); };
  ASSERT_TRUE(
      engine->StartDownload(window, u"kb/a.pdf", localPath(), StoreFileKind::Knowlege, query, 5));
  runToEnd();
  EXPECT_EQ(recorder.ended().result, kDownloadResultOther);
  EXPECT_EQ(recorder.ended().reason, u"无法与文件服务器建立连线，请检查网络.");
  EXPECT_EQ(logsContaining("次因为异常"), 1);  // one attempt: no retry after a stop
  EXPECT_EQ(queries, 1);
  EXPECT_TRUE(mainRecorder.messages.empty());
}

TEST_F(DownloadEngineTest, AStopWhileTheLocalFileIsInUseEndsWithoutWaitingItOut) {
  TestFileServer server([&](PeerSocket& peer, int) { server.ServeFile(peer, "x"); });
  StandIn().fileInUseAnswers = 1000;
  StandIn().onFileInUseCheck = [&] {
    if (StandIn().fileInUseCalls != 3) return;
    loop.post(window, kStopNow);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (engine->IsRunning() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::yield();
    }
  };
  recorder.onStop = [&] { engine->StopDownload(); };
  ASSERT_TRUE(start(server, 5));
  runToEnd();
  EXPECT_EQ(StandIn().fileInUseCalls, 3);
  EXPECT_EQ(recorder.ended().result, kDownloadResultOther);
  EXPECT_EQ(recorder.ended().reason, u"");
  EXPECT_FALSE(std::filesystem::exists(temp.file("Downloads/Knowlege/a.pdf")));
  ASSERT_TRUE(server.waitForSessions(1));
  EXPECT_TRUE(server.requests().empty());
  EXPECT_EQ(server.stops(), 1);
}

TEST_F(DownloadEngineTest, ANewTransferWaitsForTheStopOfTheLast) {
  TestFileServer server([&](PeerSocket& peer, int) {
    server.nextRequest(peer);
    peer.readToEnd();  // never answers
  });
  ASSERT_TRUE(start(server));
  EXPECT_FALSE(start(server));
  EXPECT_EQ(logsContaining("上一个下载任务仍在进行"), 1);
  engine->StopDownload();
  EXPECT_EQ(recorder.of(core::WM_DOWNLOAD_ENDED).size(), 1u);
  EXPECT_EQ(recorder.ended().fileName, u"kb/a.pdf");
  EXPECT_TRUE(start(server, 0, u"kb/b.pdf"));
  engine->StopDownload();
  runToEnd();
  EXPECT_EQ(recorder.of(core::WM_DOWNLOAD_ENDED).size(), 2u);
}

TEST_F(DownloadEngineTest, AStopDoesNotWaitForATransferThatItsEndMessageStarted) {
  // The first connection never answers; the second one is closed after a while, which ends
  // its transfer (no retries) if the stop waits that long.
  TestFileServer server([&](PeerSocket& peer, int index) {
    server.nextRequest(peer);
    if (index == 0) {
      peer.readToEnd();
      return;
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    peer.close();
  });
  ASSERT_TRUE(start(server));
  // As the queue does: the end of the stopped transfer waits for its worker, then starts the
  // next file.
  recorder.onEnded = [&] {
    recorder.onEnded = nullptr;
    engine->StopDownload();
    EXPECT_TRUE(start(server, 0, u"kb/b.pdf"));
  };
  engine->StopDownload();
  EXPECT_TRUE(engine->IsRunning()) << "the stop waited for the transfer started inside it";
  ASSERT_EQ(recorder.of(core::WM_DOWNLOAD_ENDED).size(), 1u);
  EXPECT_EQ(recorder.ended().fileName, u"kb/a.pdf");
  engine->StopDownload();
  runToEnd();
  ASSERT_EQ(recorder.of(core::WM_DOWNLOAD_ENDED).size(), 2u);
  EXPECT_EQ(recorder.ended().fileName, u"kb/b.pdf");
}

}  // namespace
}  // namespace knowledge
