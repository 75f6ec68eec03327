// The file server on a loopback port chosen by the system, driven with raw sockets and byte
// images: blocks at any offset, refusals, stops, malformed frames, many connections, the
// connection limit, idle connections and the planned cuts of the test switch.

#include "devservice/file_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "devservice/service_log.h"
#include "raw_file_client.h"
#include "support/temp_dir.h"

namespace devservice {
namespace {

using namespace std::string_literals;

constexpr char kNotOnServer[] = "服务器上不存在文件";
constexpr char kSecret[] = "TOP-SECRET-CONTENT";

// Bytes without a short period, so that a block served from a wrong offset cannot match.
std::string PseudoContent(std::size_t size) {
  std::mt19937 random(size);
  std::string content(size, '\0');
  for (char& byte : content) byte = static_cast<char>(random() & 0xFF);
  return content;
}

std::string Document() {
  return PseudoContent(10000);
}

class FileServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.write("files/Knowlege/doc.bin", Document());
    dir_.write("files/Knowlege/ten.txt", "0123456789");
    dir_.write("files/Knowlege/inside.txt", "inside");
    dir_.write("files/Knowlege/sub/inner.txt", kSecret);
    dir_.write("files/App/pkg.zip", "package bytes");
    dir_.write("files/UserProfile/avatar.png", "avatar bytes");
    dir_.write("files/Platform/setup.exe", "installer bytes");
    dir_.write("secret.txt", kSecret);
    std::filesystem::create_symlink(dir_.file("secret.txt"), dir_.file("files/Knowlege/link.txt"));
  }

  // Starts a server on the temporary files; returns its port.
  int start(FileServerSettings settings = {}) {
    settings.root = dir_.file("files");
    server_ = std::make_unique<FileServer>(std::move(settings), log_, drops_);
    return server_->start().port;
  }

  // Sends a request and reads the one frame that answers it.
  static std::string Ask(RawFileClient& client, std::string_view name, std::int32_t offset,
                         std::int32_t kind = 0) {
    EXPECT_TRUE(client.send(RequestImage(name, offset, kind)));
    return client.readFrame().value_or("");
  }

  static BlockImage AskBlock(RawFileClient& client, std::string_view name, std::int32_t offset,
                             std::int32_t kind = 0) {
    const auto block = ReadBlockImage(Ask(client, name, offset, kind));
    EXPECT_TRUE(block.has_value()) << name << " at " << offset;
    EXPECT_EQ(block.value_or(BlockImage{}).type, 11);
    return block.value_or(BlockImage{});
  }

  static std::string AskError(RawFileClient& client, std::string_view name, std::int32_t offset,
                              std::int32_t kind = 0) {
    const std::string frame = Ask(client, name, offset, kind);
    const auto text = ReadErrorImage(frame);
    EXPECT_TRUE(text.has_value()) << "no error message but " << frame.size() << " bytes";
    return text.value_or("");
  }

  testing_support::TempDir dir_;
  ServiceLog log_{"", false};
  ConnectionDropPlan drops_;
  std::unique_ptr<FileServer> server_;
};

TEST_F(FileServerTest, ATenByteFileIsOneBlockWithTheDocumentedImage) {
  RawFileClient client(start());
  EXPECT_TRUE(client.send("268\0"s + "\x0A\x00\x00\x00"s + "ten.txt" + std::string(249, '\0') +
                          "\x00\x00\x00\x00"s + "\x00\x00\x00\x00"s));
  EXPECT_EQ(client.readFrame(), "4112"s + "\x0B\x00\x00\x00"s + "\x0A\x00\x00\x00"s +
                                    "\x00\x00\x00\x00"s + "\x0A\x00\x00\x00"s + "0123456789" +
                                    std::string(4086, '\0'));
}

TEST_F(FileServerTest, EachBlockStartsWhereTheRequestSays) {
  const std::string content = Document();
  RawFileClient client(start());

  const BlockImage first = AskBlock(client, "doc.bin", 0);
  EXPECT_EQ(first.total, 10000);
  EXPECT_EQ(first.offset, 0);
  EXPECT_EQ(first.count, 4096);
  EXPECT_EQ(first.data, content.substr(0, 4096));

  const BlockImage odd = AskBlock(client, "doc.bin", 4097);
  EXPECT_EQ(odd.offset, 4097);
  EXPECT_EQ(odd.count, 4096);
  EXPECT_EQ(odd.data, content.substr(4097, 4096));

  const BlockImage last = AskBlock(client, "doc.bin", 9999);
  EXPECT_EQ(last.count, 1);
  EXPECT_EQ(last.data, content.substr(9999));

  const BlockImage atEnd = AskBlock(client, "doc.bin", 10000);
  EXPECT_EQ(atEnd.total, 10000);
  EXPECT_EQ(atEnd.offset, 10000);
  EXPECT_EQ(atEnd.count, 0);

  const BlockImage pastEnd = AskBlock(client, "doc.bin", 20000);
  EXPECT_EQ(pastEnd.total, 10000);
  EXPECT_EQ(pastEnd.offset, 20000);
  EXPECT_EQ(pastEnd.count, 0);
}

TEST_F(FileServerTest, AWholeFileArrivesBlockByBlockAsTheClientAsksForIt) {
  RawFileClient client(start());
  std::string received;
  for (int round = 0; round < 10; ++round) {
    const BlockImage block =
        AskBlock(client, "doc.bin", static_cast<std::int32_t>(received.size()));
    ASSERT_EQ(block.offset, static_cast<std::int32_t>(received.size()));
    received += block.data;
    if (static_cast<std::int32_t>(received.size()) >= block.total) break;
  }
  EXPECT_EQ(received, Document());
}

TEST_F(FileServerTest, EveryKindIsServedFromItsOwnFolderOnly) {
  RawFileClient client(start());
  EXPECT_EQ(AskBlock(client, "pkg.zip", 0, 1).data, "package bytes");
  EXPECT_EQ(AskBlock(client, "avatar.png", 0, 2).data, "avatar bytes");
  EXPECT_EQ(AskBlock(client, "setup.exe", 0, 3).data, "installer bytes");
  EXPECT_NE(AskError(client, "pkg.zip", 0, 0).find(kNotOnServer), std::string::npos);
  EXPECT_NE(AskError(client, "ten.txt", 0, 3).find(kNotOnServer), std::string::npos);
}

TEST_F(FileServerTest, MissingFilesAndUnknownKindsGetTheNotFoundTextAndTheConnectionGoesOn) {
  RawFileClient client(start());
  const std::string missing = AskError(client, "GB50204-2015.pdf", 0);
  EXPECT_NE(missing.find(kNotOnServer), std::string::npos) << missing;
  EXPECT_NE(missing.find("GB50204-2015.pdf"), std::string::npos) << missing;
  EXPECT_NE(AskError(client, "ten.txt", 0, 7).find(kNotOnServer), std::string::npos);
  EXPECT_NE(AskError(client, "ten.txt", 0, -1).find(kNotOnServer), std::string::npos);
  const std::string negative = AskError(client, "ten.txt", -1);
  EXPECT_NE(negative.find("位置无效"), std::string::npos) << negative;
  EXPECT_EQ(negative.find(kNotOnServer), std::string::npos) << "the file itself exists";
  EXPECT_EQ(AskBlock(client, "ten.txt", 0).data, "0123456789");
}

TEST_F(FileServerTest, HostileNamesAreRefusedAndNothingOutsideTheFolderIsRead) {
  const int port = start();
  const std::vector<std::string> hostile = {
      "../secret.txt",
      "../../secret.txt",
      dir_.file("secret.txt"),
      "/etc/passwd",
      "..",
      ".",
      "",
      "..\\secret.txt",
      "sub/inner.txt",
      "sub\\inner.txt",
      "link.txt",
      "inside.txt\0../secret.txt"s,
      "inside.txt\0"s + std::string(200, 'x'),
      std::string(300, 'a'),
      "../" + std::string(253, 'a'),
      "ten.txt\x01",
      "\xFF\xFE.txt",
      "caf\xC3.txt",
  };
  for (const std::string& name : hostile) {
    RawFileClient client(port);
    const std::string frame = Ask(client, name, 0);
    EXPECT_EQ(frame.find(kSecret), std::string::npos) << name;
    const auto text = ReadErrorImage(frame);
    ASSERT_TRUE(text.has_value()) << name;
    EXPECT_NE(text->find(kNotOnServer), std::string::npos) << name << ": " << *text;
    EXPECT_EQ(AskBlock(client, "inside.txt", 0).data, "inside") << "after " << name;
  }
}

TEST_F(FileServerTest, ARequestFrameLongerThanARequestClosesTheConnection) {
  RawFileClient client(start());
  // A 300-byte name cannot be sent in the 256-byte field; a frame that carries it anyway is
  // not a request.
  EXPECT_TRUE(client.send("312\0"s + "\x0A\x00\x00\x00"s + std::string(300, 'a') +
                          "\x00\x00\x00\x00"s + "\x00\x00\x00\x00"s));
  const RawFileClient::Ending ending = client.waitForEnd();
  EXPECT_NE(ending.end, RawFileClient::End::kTimedOut);
  EXPECT_TRUE(ending.bytes.empty());
}

TEST_F(FileServerTest, AStopEndsTheConnectionWithoutAnAnswer) {
  const int port = start();
  RawFileClient client(port);
  EXPECT_EQ(AskBlock(client, "doc.bin", 0).count, 4096);
  EXPECT_TRUE(client.send(StopImage()));
  const RawFileClient::Ending ending = client.waitForEnd();
  EXPECT_EQ(ending.end, RawFileClient::End::kClosed);
  EXPECT_TRUE(ending.bytes.empty());

  RawFileClient next(port);
  EXPECT_EQ(AskBlock(next, "doc.bin", 4096).offset, 4096);
}

TEST_F(FileServerTest, EmptyFramesAreEmptyRounds) {
  RawFileClient client(start());
  EXPECT_TRUE(client.send("0\0\0\0"s + "0\0\0\0"s + "0\0\0\0"s));
  EXPECT_EQ(AskBlock(client, "ten.txt", 0).data, "0123456789");
}

TEST_F(FileServerTest, MalformedFramesCloseTheConnectionAndTheServerGoesOn) {
  const int port = start();
  struct Case {
    const char* what;
    std::string bytes;
    bool closeWriting = false;
  };
  const std::string request = RequestImage("ten.txt", 0, 0);
  const std::vector<Case> cases = {
      {"letters as length", "abcd" + request.substr(4)},
      {"negative length", "-4112" + request.substr(4)},
      {"blank before the digits", " 268" + request.substr(4)},
      {"9999 with a short body", "9999" + std::string(100, 'x')},
      {"a request cut short", request.substr(0, 100), true},
      {"a length field cut short", "26", true},
      {"a request's type in a stop's length", "4\0\0\0\x0A\0\0\0"s},
      {"a data block from the client", "4112" + std::string(4112, '\0')},
      {"another type in a request's length", "268\0"s + "\x0B\x00\x00\x00"s + request.substr(8)},
  };
  for (const Case& bad : cases) {
    RawFileClient client(port);
    EXPECT_TRUE(client.send(bad.bytes)) << bad.what;
    if (bad.closeWriting) client.shutdownWrite();
    const RawFileClient::Ending ending = client.waitForEnd();
    EXPECT_NE(ending.end, RawFileClient::End::kTimedOut) << bad.what;
    EXPECT_TRUE(ending.bytes.empty()) << bad.what;
  }
  EXPECT_TRUE(server_->waitForActiveAtMost(0, std::chrono::seconds(10)));
  RawFileClient good(port);
  EXPECT_EQ(AskBlock(good, "ten.txt", 0).data, "0123456789");
  EXPECT_EQ(server_->connectionsAccepted(), static_cast<std::int64_t>(cases.size()) + 1);
}

TEST_F(FileServerTest, TwentyConnectionsAreServedAtOnce) {
  const int port = start();
  const std::string content = Document();
  std::vector<std::unique_ptr<RawFileClient>> clients;
  for (int i = 0; i < 20; ++i) {
    clients.push_back(std::make_unique<RawFileClient>(port));
    EXPECT_TRUE(clients.back()->send(RequestImage("doc.bin", i * 100, 0)));
  }
  // Answers are read last connection first: a server that served one connection after
  // another would never answer the twentieth while the first stays open.
  for (int i = 19; i >= 0; --i) {
    const auto block = ReadBlockImage(clients[i]->readFrame().value_or(""));
    ASSERT_TRUE(block.has_value()) << "connection " << i;
    EXPECT_EQ(block->offset, i * 100);
    EXPECT_EQ(block->data, content.substr(static_cast<std::size_t>(i) * 100, 4096));
  }
  EXPECT_EQ(server_->peakActiveConnections(), 20);
  clients.clear();
  EXPECT_TRUE(server_->waitForActiveAtMost(0, std::chrono::seconds(10)));
}

TEST_F(FileServerTest, ConnectionsBeyondTheLimitWaitForAFreeSlot) {
  FileServerSettings settings;
  settings.maxConnections = 2;
  const int port = start(settings);
  auto first = std::make_unique<RawFileClient>(port);
  RawFileClient second(port);
  RawFileClient third(port);
  for (RawFileClient* client : {first.get(), &second, &third}) {
    EXPECT_TRUE(client->send(RequestImage("ten.txt", 0, 0)));
  }
  EXPECT_TRUE(ReadBlockImage(first->readFrame().value_or("")).has_value());
  EXPECT_TRUE(ReadBlockImage(second.readFrame().value_or("")).has_value());
  first.reset();
  EXPECT_TRUE(ReadBlockImage(third.readFrame().value_or("")).has_value())
      << "the waiting connection is served once a slot is free";
  EXPECT_EQ(server_->peakActiveConnections(), 2);
}

TEST_F(FileServerTest, SilentConnectionsAreClosedAfterTheIdleTime) {
  FileServerSettings settings;
  settings.idleTimeout = std::chrono::milliseconds(100);
  const int port = start(settings);
  RawFileClient silent(port);
  RawFileClient halfway(port);
  EXPECT_TRUE(halfway.send("26"));
  EXPECT_EQ(silent.waitForEnd().end, RawFileClient::End::kClosed);
  EXPECT_EQ(halfway.waitForEnd().end, RawFileClient::End::kClosed);
}

TEST_F(FileServerTest, StoppingTheServerEndsOpenConnections) {
  const int port = start();
  RawFileClient idle(port);
  RawFileClient busy(port);
  EXPECT_EQ(AskBlock(busy, "doc.bin", 0).count, 4096);
  server_->stop();
  EXPECT_EQ(idle.waitForEnd().end, RawFileClient::End::kClosed);
  EXPECT_EQ(busy.waitForEnd().end, RawFileClient::End::kClosed);
  EXPECT_EQ(server_->activeConnections(), 0);
}

TEST_F(FileServerTest, PlannedCutsEndTheNextConnectionsAfterTheirBytes) {
  const int port = start();
  ASSERT_TRUE(drops_.add({4116 + 2, 10}, 1, false));

  RawFileClient insideALengthField(port);
  EXPECT_EQ(AskBlock(insideALengthField, "doc.bin", 0).count, 4096);
  EXPECT_TRUE(insideALengthField.send(RequestImage("doc.bin", 4096, 0)));
  RawFileClient::Ending ending = insideALengthField.waitForEnd();
  EXPECT_EQ(ending.end, RawFileClient::End::kClosed);
  EXPECT_EQ(ending.bytes, "41");

  RawFileClient insideABlock(port);
  EXPECT_TRUE(insideABlock.send(RequestImage("doc.bin", 0, 0)));
  ending = insideABlock.waitForEnd();
  EXPECT_EQ(ending.end, RawFileClient::End::kClosed);
  EXPECT_EQ(ending.bytes, "4112"s + "\x0B\x00\x00\x00"s + "\x10\x27"s);

  RawFileClient uncut(port);
  EXPECT_EQ(AskBlock(uncut, "doc.bin", 0).count, 4096);
  EXPECT_EQ(AskBlock(uncut, "doc.bin", 4096).count, 4096);
  EXPECT_EQ(drops_.cutsDone(), 2);
  EXPECT_EQ(drops_.pending(), 0u);
}

// What a resuming client sees: each connection is cut at a chosen byte offset of the file
// (anywhere inside a block frame, length field included), the client keeps the whole blocks it
// got and asks again from there. 200 cuts later the file has arrived whole.
TEST_F(FileServerTest, ATransferCutAtTwoHundredOffsetsResumesToTheWholeFile) {
  const std::string content = PseudoContent(10 * 1024 * 1024);
  dir_.write("files/Knowlege/large.bin", content);
  const int port = start();
  std::mt19937 random(20240101);
  std::vector<std::size_t> cuts;
  std::uniform_int_distribution<std::size_t> anywhere(0, content.size() - 1);
  for (int i = 0; i < 200; ++i) cuts.push_back(anywhere(random));
  std::sort(cuts.begin(), cuts.end());

  std::string received;
  std::size_t nextCut = 0;
  int connections = 0;
  while (received.size() < content.size() && connections < 300) {
    ++connections;
    // Wire bytes up to the frame that holds the chosen offset, then some bytes into it.
    while (nextCut < cuts.size() && cuts[nextCut] < received.size()) ++nextCut;
    if (nextCut < cuts.size()) {
      const std::size_t blocks = (cuts[nextCut] - received.size()) / 4096;
      std::uniform_int_distribution<std::int64_t> intoFrame(0, 4115);
      const std::int64_t wireBytes = static_cast<std::int64_t>(blocks) * 4116 + intoFrame(random);
      ASSERT_TRUE(drops_.add({wireBytes}, 1, false));
      ++nextCut;
    }
    RawFileClient client(port);
    for (;;) {
      if (!client.send(RequestImage("large.bin", static_cast<std::int32_t>(received.size()), 0))) {
        break;
      }
      const auto block = ReadBlockImage(client.readAtMost(4116));
      if (!block) break;  // cut: whatever arrived of this frame is dropped, as the client does
      ASSERT_EQ(block->offset, static_cast<std::int32_t>(received.size()));
      received += block->data;
      if (received.size() >= content.size()) break;
    }
  }
  EXPECT_EQ(drops_.cutsDone(), 200);
  EXPECT_EQ(connections, 201);
  EXPECT_TRUE(received == content) << "received " << received.size() << " bytes";
}

TEST_F(FileServerTest, APlannedResetEndsTheConnectionWithAReset) {
  const int port = start();
  ASSERT_TRUE(drops_.add({0}, 1, true));
  RawFileClient client(port);
  EXPECT_TRUE(client.send(RequestImage("doc.bin", 0, 0)));
  EXPECT_EQ(client.waitForEnd().end, RawFileClient::End::kReset);
  EXPECT_EQ(drops_.cutsDone(), 1);
}

TEST_F(FileServerTest, AGbkClientsNamesAndTextsAreInGbk) {
  dir_.write("files/Knowlege/图集.pdf", "atlas");
  FileServerSettings settings;
  settings.codeset = "GBK";
  RawFileClient client(start(settings));
  EXPECT_EQ(AskBlock(client, "\xCD\xBC\xBC\xAF.pdf", 0).data, "atlas");
  const std::string missing = AskError(client, "\xCD\xBC.pdf", 0);
  EXPECT_NE(
      missing.find("\xB7\xFE\xCE\xF1\xC6\xF7\xC9\xCF\xB2\xBB\xB4\xE6\xD4\xDA\xCE\xC4\xBC\xFE"),
      std::string::npos);
  EXPECT_NE(AskError(client, "\xFF\xFF.pdf", 0).find("\xB7\xFE\xCE\xF1"), std::string::npos)
      << "bytes that are not GBK are a refused name";
}

TEST_F(FileServerTest, AnUnknownCodePageOrAMissingRootStopsTheStart) {
  FileServerSettings settings;
  settings.root = dir_.file("files");
  settings.codeset = "NO-SUCH-CODESET";
  EXPECT_THROW(FileServer(settings, log_, drops_), std::runtime_error);
  settings.codeset = "UTF-8";
  settings.root = dir_.file("absent");
  EXPECT_THROW(FileServer(settings, log_, drops_), std::runtime_error);
}

TEST_F(FileServerTest, APortInUseIsRefused) {
  const int port = start();
  FileServerSettings settings;
  settings.root = dir_.file("files");
  settings.address = HostPort{"127.0.0.1", port};
  FileServer second(settings, log_, drops_);
  EXPECT_THROW(second.start(), std::runtime_error);
}

}  // namespace
}  // namespace devservice
