#include "knowledge/file_server_connection.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "knowledge/file_server_messages.h"
#include "knowledge/transfer_error.h"
#include "loopback_listener.h"
#include "platform/code_page.h"

namespace knowledge {
namespace {

using knowledge_testing::LoopbackListener;
using knowledge_testing::PeerSocket;
using namespace std::string_literals;

int intOption(int handle, int level, int name) {
  int value = -1;
  socklen_t size = sizeof value;
  EXPECT_EQ(getsockopt(handle, level, name, &value, &size), 0);
  return value;
}

std::u16string receiveReason(FileServerConnection& connection) {
  try {
    connection.ReceiveFrame();
  } catch (const TransferError& error) {
    return error.reason();
  }
  return u"(nothing raised)";
}

class ConnectedPair : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(connection.CreateSocket());
    ASSERT_TRUE(connection.ConnectByAddress("127.0.0.1", listener.port()));
    peer = std::make_unique<PeerSocket>(listener.accept());
  }

  std::vector<std::string> logLines;
  FileServerConnection connection{[this](const std::string& line) { logLines.push_back(line); }};
  LoopbackListener listener;
  std::unique_ptr<PeerSocket> peer;
};

TEST(FileServerConnectionSocket, SetsKeepAliveAndNoDelayButLeavesBuffersAlone) {
  FileServerConnection connection;
  ASSERT_TRUE(connection.CreateSocket());
  const int handle = connection.nativeHandle();
  ASSERT_GE(handle, 0);
  EXPECT_EQ(intOption(handle, SOL_SOCKET, SO_KEEPALIVE), 1);
  EXPECT_EQ(intOption(handle, IPPROTO_TCP, TCP_KEEPIDLE), 3);
  EXPECT_EQ(intOption(handle, IPPROTO_TCP, TCP_KEEPINTVL), 1);
  EXPECT_EQ(intOption(handle, IPPROTO_TCP, TCP_NODELAY), 1);

  const int plain = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(plain, 0);
  EXPECT_EQ(intOption(handle, SOL_SOCKET, SO_SNDBUF), intOption(plain, SOL_SOCKET, SO_SNDBUF));
  EXPECT_EQ(intOption(handle, SOL_SOCKET, SO_RCVBUF), intOption(plain, SOL_SOCKET, SO_RCVBUF));
  close(plain);

  connection.CloseSocket();
  EXPECT_EQ(connection.nativeHandle(), -1);
  connection.CloseSocket();  // a second close is harmless
}

TEST(FileServerConnectionSocket, ConnectsByHostName) {
  LoopbackListener listener;
  FileServerConnection connection;
  ASSERT_TRUE(connection.CreateSocket());
  EXPECT_TRUE(connection.ConnectByHost("localhost", listener.port()));
  PeerSocket peer(listener.accept());
  connection.SendFrame(EncodeStop());
  EXPECT_EQ(peer.readFrame(), EncodeStop());
}

TEST(FileServerConnectionSocket, RefusedAndInvalidTargetsDoNotConnect) {
  LoopbackListener listener;
  const std::int32_t port = listener.port();
  listener.close();
  FileServerConnection connection;
  ASSERT_TRUE(connection.CreateSocket());
  EXPECT_FALSE(connection.ConnectByAddress("127.0.0.1", port));
  EXPECT_FALSE(connection.ConnectByAddress("not-an-address", port));
  EXPECT_FALSE(connection.ConnectByAddress("127.0.0.1", 0));
  EXPECT_FALSE(connection.ConnectByAddress("127.0.0.1", 70000));
  EXPECT_FALSE(connection.ConnectByHost("", port));
  EXPECT_FALSE(connection.ConnectByHost("no-such-host.invalid", port));
}

TEST(FileServerConnectionSocket, AConnectNobodyAnswersEndsAtItsTimeOutAndMayBeTriedAgain) {
  // The accept queue of a backlog of 0 holds one connection; once it does, the system drops
  // every further connection request without an answer, as a dead network would.
  LoopbackListener listener(0);
  PeerSocket filler(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(listener.port()));
  ASSERT_EQ(connect(filler.handle(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_TRUE(listener.waitForConnection(30000));

  FileServerConnection connection({}, std::chrono::milliseconds(300));
  ASSERT_TRUE(connection.CreateSocket());
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(connection.ConnectByAddress("127.0.0.1", listener.port()));
  // Far below the two minutes the system alone would keep trying.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));

  // With room in the queue, the same socket connects, and its receives block again.
  PeerSocket first(listener.accept());
  ASSERT_TRUE(connection.ConnectByAddress("127.0.0.1", listener.port()));
  EXPECT_EQ(fcntl(connection.nativeHandle(), F_GETFL) & O_NONBLOCK, 0);
  PeerSocket peer(listener.accept());
  peer.write(EncodeFrame(EncodeStop()));
  EXPECT_EQ(connection.ReceiveFrame(), EncodeStop());
}

TEST(FileServerConnectionSocket, OperationsWithoutASocketRaise) {
  FileServerConnection connection;
  EXPECT_THROW(connection.SendFrame(EncodeStop()), TransferError);
  EXPECT_THROW(connection.ReceiveFrame(), TransferError);
  EXPECT_FALSE(connection.ConnectByAddress("127.0.0.1", 1));
}

TEST_F(ConnectedPair, SendsWholeFrames) {
  const std::string request = EncodeDownloadRequest("a.pdf", 4096, StoreFileKind::Knowlege);
  connection.SendFrame(request);
  EXPECT_EQ(peer->read(4 + 268), "268\0"s + request);
}

TEST_F(ConnectedPair, ReceivesFramesExactly) {
  const std::string block = EncodeDataBlock(10, 0, "0123456789");
  // Two frames written at once and one split in the middle of its length field: the reads
  // must take exactly one frame each.
  peer->write(EncodeFrame(block) + EncodeFrame(EncodeError("x")) + "10"s);
  EXPECT_EQ(connection.ReceiveFrame(), block);
  EXPECT_EQ(connection.ReceiveFrame(), EncodeError("x"));
  peer->write("28"s + EncodeError("y"));
  EXPECT_EQ(connection.ReceiveFrame(), EncodeError("y"));
}

TEST_F(ConnectedPair, ALengthOfZeroIsAnEmptyRound) {
  peer->write("0\0\0\0"s + "0\0\0\0"s + EncodeFrame(EncodeStop()));
  EXPECT_EQ(connection.ReceiveFrame(), std::nullopt);
  EXPECT_EQ(connection.ReceiveFrame(), std::nullopt);
  EXPECT_EQ(connection.ReceiveFrame(), EncodeStop());
}

TEST_F(ConnectedPair, ALengthFieldOfLettersReadsAsEmpty) {
  peer->write("abcd"s + EncodeFrame(EncodeStop()));
  EXPECT_EQ(connection.ReceiveFrame(), std::nullopt);
  EXPECT_EQ(connection.ReceiveFrame(), EncodeStop());
}

TEST_F(ConnectedPair, ANegativeLengthIsTakenAbsolute) {
  // "-4112" does not fit the field: "-411" is read and the '2' starts the payload.
  peer->write("-4112"s + std::string(410, 'b'));
  const auto payload = connection.ReceiveFrame();
  ASSERT_TRUE(payload);
  EXPECT_EQ(payload->size(), 411u);
  EXPECT_EQ(payload->front(), '2');
}

TEST_F(ConnectedPair, ALongLengthWithAShortBodyFailsWhenThePeerCloses) {
  peer->write("9999"s + std::string(100, 'x'));
  peer->close();
  EXPECT_EQ(receiveReason(connection), kConnectionClosedReason);
}

TEST_F(ConnectedPair, APeerThatClosesInTheLengthFieldEndsTheAttempt) {
  peer->write("41"s);
  peer->close();
  EXPECT_EQ(receiveReason(connection), kConnectionClosedReason);
}

TEST_F(ConnectedPair, AResetGivesTheWinsockText) {
  // Something unread on the client's side makes close send a reset.
  connection.SendFrame(EncodeStop());
  peer->reset();
  EXPECT_EQ(receiveReason(connection), u"Connection reset by peer");
}

TEST_F(ConnectedPair, AbortWakesABlockedReceive) {
  auto waiting = std::async(std::launch::async, [this] { return receiveReason(connection); });
  connection.Abort();
  EXPECT_EQ(waiting.get(), kConnectionClosedReason);
  EXPECT_TRUE(connection.aborted());
  EXPECT_FALSE(connection.ConnectByAddress("127.0.0.1", listener.port()));
  EXPECT_GE(connection.nativeHandle(), 0);  // only the owner closes the handle
  connection.CloseSocket();
  EXPECT_EQ(connection.nativeHandle(), -1);
  EXPECT_TRUE(logLines.empty());
}

TEST_F(ConnectedPair, SendingToAClosedPeerRaisesInsteadOfSignalling) {
  peer->reset();
  // The first send may still be accepted locally; a later one meets the reset.
  std::u16string reason;
  for (int i = 0; i < 3 && reason.empty(); ++i) {
    try {
      connection.SendFrame(EncodeStop());
    } catch (const TransferError& error) {
      reason = error.reason();
    }
  }
  EXPECT_TRUE(reason == u"Connection reset by peer" ||
              reason == u"Can't send after socket shutdown")
      << platform::Utf16ToUtf8(reason);
}

}  // namespace
}  // namespace knowledge
