// The download engine against the development service's own file server, which the service's
// address endpoint names to the real support library: a transfer whose connections are cut at
// hundreds of places resumes each time from the local length, a file the server does not hold
// ends at once, and a stop in the middle of a transfer leaves a clean prefix to resume from.
// Pauses run on a manual clock, so the 5 s retry pauses and the 1 ms rounds cost nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "devservice/connection_drop_plan.h"
#include "devservice/file_server.h"
#include "devservice/service_log.h"
#include "knowledge/download_engine.h"
#include "knowledge/download_messages.h"
#include "knowledge/file_server_messages.h"
#include "knowledge/file_server_query.h"
#include "platform/code_page.h"
#include "platform/headless_message_loop.h"
#include "support/local_service.h"
#include "support/sha256_hex.h"
#include "support/temp_dir.h"

namespace knowledge {
namespace {

constexpr std::int64_t kBlockBytes = 4096;
constexpr std::int64_t kFrameBytes = 4 + 4112;  // length field and data block
constexpr std::int64_t kFileBytes = 10 * 1024 * 1024;
constexpr std::int64_t kFileBlocks = kFileBytes / kBlockBytes;
constexpr int kCuts = 200;
constexpr std::uint32_t kCutSeed = 20240611;
constexpr std::int32_t kCallersRetries = 5;  // what the knowledge queue and the app center pass
constexpr std::int64_t kRetryPauseMs = 5000;
constexpr char kFileName[] = "big-sample.bin";

std::string sampleContent(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string content(size, '\0');
  for (char& c : content) c = static_cast<char>(random() & 0xFF);
  return content;
}

// One planned cut: the connection dies inside the frame of the block that holds `fileOffset`,
// after `afterBytes` bytes of that connection (length fields included), so that the cut can
// fall into a length field, a block header or the data.
struct PlannedCut {
  std::int64_t fileOffset = 0;
  std::int64_t afterBytes = 0;
};

// Cuts for consecutive connections. Each connection starts where the client resumes: after the
// whole blocks the previous one delivered.
std::vector<PlannedCut> PlanCuts(std::uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::int64_t> fileByte(0, kFileBytes - 1);
  std::uniform_int_distribution<std::int64_t> frameByte(0, kFrameBytes - 1);
  std::vector<std::int64_t> offsets(kCuts);
  for (std::int64_t& offset : offsets) offset = fileByte(random);
  std::sort(offsets.begin(), offsets.end());
  std::vector<PlannedCut> cuts;
  std::int64_t resumeAt = 0;
  for (const std::int64_t offset : offsets) {
    const std::int64_t wholeBlocks = (offset - resumeAt) / kBlockBytes;
    cuts.push_back({offset, wholeBlocks * kFrameBytes + frameByte(random)});
    resumeAt += wholeBlocks * kBlockBytes;
  }
  return cuts;
}

class Recorder : public platform::MessageTarget {
 public:
  void onMessage(platform::Message& message) override {
    if (auto* progress = message.payload.get<DownloadProgress>()) {
      if (onProgress) onProgress(*progress);
    } else if (auto* ended = message.payload.get<DownloadEnded>()) {
      ends.push_back(*ended);
    }
  }

  std::vector<DownloadEnded> ends;
  std::function<void(const DownloadProgress&)> onProgress;
};

class EngineFileServerTest : public ::testing::Test {
 protected:
  EngineFileServerTest() {
    platform::SetAnsiCodesetOverride("UTF-8");
    window = loop.addTarget(recorder);
    engine = std::make_unique<DownloadEngine>(core::ServiceContext{&local.lib(), &loop, window},
                                              [this](const std::string& line) {
                                                std::lock_guard lock(logMutex);
                                                logLines.push_back(line);
                                              });
  }
  ~EngineFileServerTest() override {
    engine.reset();
    platform::SetAnsiCodesetOverride("");
  }

  static std::string FilesRoot(const testing_support::TempDir& folder, const std::string& content) {
    for (const char* store : {"Knowlege", "App", "UserProfile", "Platform"}) {
      std::filesystem::create_directories(folder.file(store));
    }
    folder.write(std::string("Knowlege/") + kFileName, content);
    return folder.path();
  }

  // Starts a transfer as the knowledge queue does and runs the window thread until it ends.
  DownloadEnded download(const std::u16string& fileName) {
    const std::size_t endsBefore = recorder.ends.size();
    EXPECT_TRUE(engine->StartDownload(window, fileName, localPath(), StoreFileKind::Knowlege,
                                      MakeFileServerQuery(local.lib()), kCallersRetries));
    EXPECT_TRUE(loop.waitIdle(120000));
    if (recorder.ends.size() != endsBefore + 1) {
      ADD_FAILURE() << "expected one end message, got " << recorder.ends.size() - endsBefore;
      return {};
    }
    return recorder.ends.back();
  }

  std::u16string localPath() const { return platform::Utf8ToUtf16(downloads.file(kFileName)); }
  std::string localContent() const {
    return std::filesystem::exists(downloads.file(kFileName)) ? downloads.read(kFileName) : "";
  }
  int logsContaining(const std::string& part) {
    std::lock_guard lock(logMutex);
    return static_cast<int>(std::count_if(logLines.begin(), logLines.end(), [&](const auto& line) {
      return line.find(part) != std::string::npos;
    }));
  }
  int serviceLogsContaining(const std::string& part) {
    const auto lines = local.service().log().lines();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const auto& line) {
      return line.find(part) != std::string::npos;
    }));
  }
  devservice::FileServer& files() { return *local.service().fileServer(); }

  const std::string content = sampleContent(kFileBytes, kCutSeed);
  testing_support::TempDir served;
  testing_support::TempDir downloads;
  net_testing::LocalService local{{.withFiles = true, .filesRoot = FilesRoot(served, content)}};
  platform::ManualClock clock;
  platform::HeadlessMessageLoop loop{clock};
  Recorder recorder;
  platform::WindowId window = 0;
  std::mutex logMutex;
  std::vector<std::string> logLines;
  std::unique_ptr<DownloadEngine> engine;
};

TEST_F(EngineFileServerTest, ResumesAcross200CutConnectionsToAnIdenticalFile) {
  ASSERT_TRUE(local.lib().loaded());
  ASSERT_GT(local.filesPort(), 0);
  const std::vector<PlannedCut> cuts = PlanCuts(kCutSeed);
  std::string plan;
  for (const PlannedCut& cut : cuts) {
    plan += " " + std::to_string(cut.fileOffset) + "@" + std::to_string(cut.afterBytes);
  }
  std::printf("cut seed %u; file offset@bytes of the connection:%s\n", kCutSeed, plan.c_str());
  // Orderly ends and resets take turns: the client meets "连接已关闭" and a reset alike.
  devservice::ConnectionDropPlan& drops = local.service().fileDrops();
  for (std::size_t i = 0; i < cuts.size(); ++i) {
    ASSERT_TRUE(drops.add({cuts[i].afterBytes}, 1, /*reset=*/i % 2 == 1));
  }

  // Each transfer makes up to six attempts; the queue starts it again after an end without
  // the file, and the engine resumes from what is on disk.
  int starts = 0;
  DownloadEnded last;
  while (starts < kCuts && last.Result != kDownloadResultFinished) {
    ++starts;
    last = download(platform::Utf8ToUtf16(kFileName));
    ASSERT_TRUE(last.Result == kDownloadResultFinished || last.Result == kDownloadResultOther)
        << last.Result << " " << platform::Utf16ToUtf8(last.Reason);
    if (::testing::Test::HasFailure()) return;
  }

  EXPECT_EQ(last.Result, kDownloadResultFinished) << platform::Utf16ToUtf8(last.Reason);
  EXPECT_EQ(drops.cutsDone(), kCuts);
  EXPECT_EQ(drops.pending(), 0u);
  const std::int64_t attempts = files().connectionsAccepted();
  EXPECT_EQ(attempts, kCuts + 1);
  // Six attempts per start, the last start ending early with the file.
  EXPECT_EQ(starts, (kCuts + 1 + kCallersRetries) / (kCallersRetries + 1));
  EXPECT_EQ(logsContaining("次因为异常"), kCuts);
  EXPECT_EQ(logsContaining("下载文件:"), kCuts + 1);

  // Every 1 ms round received one frame or failed once: a client that fetched anything twice
  // would need more rounds than the file has blocks plus one failed round per cut.
  const std::int64_t retries = attempts - starts;
  const std::int64_t rounds = clock.sleptMs() - retries * kRetryPauseMs;
  EXPECT_GE(rounds, kFileBlocks);
  EXPECT_LE(rounds, kFileBlocks + kCuts);
  EXPECT_EQ(serviceLogsContaining("开始传输"),
            1 + std::count_if(cuts.begin(), cuts.end() - 1,
                              [](const PlannedCut& cut) { return cut.fileOffset < kBlockBytes; }));

  const std::string fetched = localContent();
  EXPECT_EQ(fetched.size(), content.size());
  EXPECT_EQ(testing_support::Sha256Hex(fetched), testing_support::Sha256Hex(content));
}

TEST_F(EngineFileServerTest, AFileTheServerDoesNotHoldEndsWithFiveAtOnce) {
  const DownloadEnded ended = download(u"no-such-document.pdf");
  EXPECT_EQ(ended.Result, kDownloadResultNotOnServer);
  EXPECT_NE(ended.Reason.find(kFileNotOnServerText), std::u16string::npos)
      << platform::Utf16ToUtf8(ended.Reason);
  EXPECT_EQ(files().connectionsAccepted(), 1);
  EXPECT_EQ(logsContaining("第【1】次因为异常【服务器上不存在文件"), 1);
  EXPECT_EQ(logsContaining("第【2】"), 0);
  EXPECT_LT(clock.sleptMs(), kRetryPauseMs);  // no retry pause was taken
}

TEST_F(EngineFileServerTest, AStopDuringTheTransferEndsWithZeroAndTheNextStartResumes) {
  // The first throttled progress message (500 ms of 1 ms rounds, about 2 MB in) stops it.
  std::int32_t doneAtStop = 0;
  recorder.onProgress = [&](const DownloadProgress& progress) {
    if (progress.Total != kFileBytes || progress.Done == 0 || doneAtStop != 0) return;
    doneAtStop = progress.Done;
    engine->StopDownload();
  };
  const DownloadEnded stopped = download(platform::Utf8ToUtf16(kFileName));
  EXPECT_EQ(stopped.Result, kDownloadResultOther);
  EXPECT_EQ(stopped.Reason, u"");
  EXPECT_EQ(logsContaining("次因为异常"), 0);
  ASSERT_GT(doneAtStop, 0);

  const std::string prefix = localContent();
  EXPECT_GE(prefix.size(), static_cast<std::size_t>(doneAtStop));
  EXPECT_LT(prefix.size(), content.size());
  EXPECT_EQ(prefix.size() % kBlockBytes, 0u);
  EXPECT_TRUE(content.compare(0, prefix.size(), prefix) == 0);
  // The server was told, and closed the connection on it.
  ASSERT_TRUE(files().waitForActiveAtMost(0, std::chrono::seconds(30)));
  EXPECT_EQ(serviceLogsContaining("客户端停止了传输"), 1);

  recorder.onProgress = nullptr;
  const DownloadEnded finished = download(platform::Utf8ToUtf16(kFileName));
  EXPECT_EQ(finished.Result, kDownloadResultFinished) << platform::Utf16ToUtf8(finished.Reason);
  EXPECT_EQ(files().connectionsAccepted(), 2);
  EXPECT_EQ(serviceLogsContaining("开始传输"), 1);  // the second connection did not start at 0
  EXPECT_EQ(testing_support::Sha256Hex(localContent()), testing_support::Sha256Hex(content));
}

TEST_F(EngineFileServerTest, AFileServerKilledTwiceDuringA20MegabyteFileStillYieldsItWhole) {
  // The server goes down twice mid-file, dropping its connections, and comes back on a new port
  // that the service announces, as a restarted server would.
  constexpr char kLargeName[] = "twenty-megabytes.bin";
  const std::string large = sampleContent(20 * 1024 * 1024, kCutSeed + 1);
  served.write(std::string("Knowlege/") + kLargeName, large);
  int kills = 0;
  recorder.onProgress = [&](const DownloadProgress& progress) {
    if (kills < 2 && progress.Done >= (kills + 1) * (progress.Total / 3)) {
      files().stop();
      local.service().setFileServerAddress(files().start());
      ++kills;
    }
  };
  // The queue starts the transfer again after an end without the file.
  DownloadEnded last;
  for (int starts = 0; starts < 3 && last.Result != kDownloadResultFinished; ++starts) {
    last = download(platform::Utf8ToUtf16(kLargeName));
  }
  EXPECT_EQ(kills, 2);
  EXPECT_EQ(last.Result, kDownloadResultFinished) << platform::Utf16ToUtf8(last.Reason);
  const std::string fetched = localContent();
  EXPECT_EQ(fetched.size(), large.size());
  EXPECT_EQ(testing_support::Sha256Hex(fetched), testing_support::Sha256Hex(large));
  // Each connection after a kill went on from the file on disk, never from its start.
  EXPECT_EQ(serviceLogsContaining("开始传输"), 1);
}

}  // namespace
}  // namespace knowledge
