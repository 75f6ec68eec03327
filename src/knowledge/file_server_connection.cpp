#include "knowledge/file_server_connection.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "knowledge/file_server_messages.h"
#include "knowledge/socket_error_text.h"
#include "knowledge/transfer_error.h"

namespace knowledge {
namespace {

constexpr int kKeepAliveIdleSeconds = 3;
// Winsock takes the interval in milliseconds (500); Linux in whole seconds.
constexpr int kKeepAliveIntervalSeconds = 1;
// Winsock sends ten probes before it gives a connection up; do the same.
constexpr int kKeepAliveProbes = 10;

bool setIntOption(int handle, int level, int name, int value) {
  return setsockopt(handle, level, name, &value, sizeof value) == 0;
}

bool validPort(std::int32_t port) {
  return port > 0 && port <= 65535;
}

}  // namespace

FileServerConnection::FileServerConnection(LogSink log, std::chrono::milliseconds connectTimeout)
    : log_(std::move(log)), connectTimeout_(connectTimeout) {}

FileServerConnection::~FileServerConnection() {
  CloseSocket();
}

int FileServerConnection::nativeHandle() const {
  return currentHandle();
}

int FileServerConnection::currentHandle() const {
  std::lock_guard lock(mutex_);
  return handle_;
}

bool FileServerConnection::CreateSocket() {
  CloseSocket();
  const int handle = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (handle < 0) {
    WriteLogLine(log_, u"创建 SOCKET 套接字失败.");
    return false;
  }
  bool ok = true;
  if (setIntOption(handle, SOL_SOCKET, SO_KEEPALIVE, 1)) {
    ok = setIntOption(handle, IPPROTO_TCP, TCP_KEEPIDLE, kKeepAliveIdleSeconds) &&
         setIntOption(handle, IPPROTO_TCP, TCP_KEEPINTVL, kKeepAliveIntervalSeconds) &&
         setIntOption(handle, IPPROTO_TCP, TCP_KEEPCNT, kKeepAliveProbes);
  }
  // Every frame is one send of a whole message; Nagle's algorithm would hold a request back
  // until the previous block is acknowledged.
  ok = ok && setIntOption(handle, IPPROTO_TCP, TCP_NODELAY, 1);
  if (!ok) {
    close(handle);
    return false;
  }
  std::lock_guard lock(mutex_);
  handle_ = handle;
  return true;
}

bool FileServerConnection::connectTo(std::uint32_t addressNetworkOrder, std::int32_t port) {
  if (aborted_ || !validPort(port)) return false;
  const int handle = currentHandle();
  if (handle < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = addressNetworkOrder;
  // Connected without blocking so that the wait for the answer has a time-out; sends and
  // receives block again afterwards.
  const int flags = fcntl(handle, F_GETFL);
  if (flags < 0 || fcntl(handle, F_SETFL, flags | O_NONBLOCK) != 0) return false;
  int error = 0;
  if (connect(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    error = errno;
    // An interrupted connect goes on in the background, as one in progress does.
    if (error == EINPROGRESS || error == EINTR) error = awaitConnect(handle);
  }
  if (error != 0) {
    // A connect still under way would make the next one on this socket fail: dissolve it.
    sockaddr unspecified{};
    unspecified.sa_family = AF_UNSPEC;
    connect(handle, &unspecified, sizeof unspecified);
  }
  fcntl(handle, F_SETFL, flags);
  return error == 0 && !aborted_;
}

int FileServerConnection::awaitConnect(int handle) const {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + connectTimeout_;
  for (;;) {
    // Abort shuts the socket down, which ends the wait at once.
    if (aborted_) return ECONNABORTED;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return ETIMEDOUT;
    pollfd waiting{handle, POLLOUT, 0};
    const int ready = poll(&waiting, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return errno;
    if (ready == 0) continue;  // the deadline is checked above
    int error = 0;
    socklen_t size = sizeof error;
    if (getsockopt(handle, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return errno;
    return error;
  }
}

bool FileServerConnection::ConnectByAddress(const std::string& ip, std::int32_t port) {
  in_addr address{};
  if (inet_pton(AF_INET, ip.c_str(), &address) != 1) return false;
  return connectTo(address.s_addr, port);
}

bool FileServerConnection::ConnectByHost(const std::string& host, std::int32_t port) {
  if (host.empty() || aborted_) return false;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
  const std::uint32_t address =
      reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  freeaddrinfo(found);
  return connectTo(address, port);
}

void FileServerConnection::SendFrame(std::string_view payload) {
  const int handle = currentHandle();
  if (handle < 0) throw TransferError(SocketFailureReason(ENOTSOCK));
  const std::string frame = EncodeFrame(payload);
  std::size_t sent = 0;
  while (sent < frame.size()) {
    // MSG_NOSIGNAL: a peer that went away is an error of this attempt, not a SIGPIPE.
    const ssize_t n = send(handle, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n == 0) {
      throw TransferError(kConnectionClosedReason);
    } else if (errno != EINTR) {
      throw TransferError(SocketFailureReason(errno));
    }
  }
}

void FileServerConnection::readExactly(int handle, char* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = recv(handle, buffer + done, size - done, 0);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n == 0) {
      throw TransferError(kConnectionClosedReason);
    } else if (errno != EINTR) {
      throw TransferError(SocketFailureReason(errno));
    }
  }
}

std::optional<std::string> FileServerConnection::ReceiveFrame() {
  const int handle = currentHandle();
  if (handle < 0) throw TransferError(SocketFailureReason(ENOTSOCK));
  char field[kLengthFieldBytes];
  readExactly(handle, field, sizeof field);
  const std::size_t length = DecodeLengthField(std::string_view(field, sizeof field));
  if (length == 0) return std::nullopt;
  std::string payload(length, '\0');
  readExactly(handle, payload.data(), length);
  return payload;
}

void FileServerConnection::CloseSocket() {
  std::lock_guard lock(mutex_);
  if (handle_ < 0) return;
  shutdown(handle_, SHUT_RDWR);
  // Linux frees the handle even when close reports an error, so it is cleared either way:
  // closing it a second time could close a handle that was handed out again.
  if (close(handle_) != 0) WriteLogLine(log_, u"关闭套接字失败.");
  handle_ = -1;
}

void FileServerConnection::Abort() {
  aborted_ = true;
  std::lock_guard lock(mutex_);
  // Only the reading side: a waiting recv returns at once (as does a connect in progress),
  // while the stop message can still be sent before the owner closes the socket.
  if (handle_ >= 0) shutdown(handle_, SHUT_RD);
}

}  // namespace knowledge
