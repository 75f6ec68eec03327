#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "knowledge/log_sink.h"

namespace knowledge {

// How long a connect waits for the file server's answer. The system alone keeps retrying an
// unanswered connect for about two minutes; with a dead network every connect would cost that.
inline constexpr std::chrono::milliseconds kDefaultConnectTimeout{5000};

// One TCP connection to a file server, owned by one transfer. Every operation but Abort runs on
// the transfer's worker thread; Abort may come from any thread (the user stops the transfer).
//
// Failures of SendFrame and ReceiveFrame raise TransferError with the reason of the attempt:
// "连接已关闭" when the peer closed the connection, else the socket error text.
class FileServerConnection {
 public:
  explicit FileServerConnection(LogSink log = {},
                                std::chrono::milliseconds connectTimeout = kDefaultConnectTimeout);
  ~FileServerConnection();
  FileServerConnection(const FileServerConnection&) = delete;
  FileServerConnection& operator=(const FileServerConnection&) = delete;

  // An IPv4 stream socket with keep-alive (first probe after 3 s idle, then every second: the
  // shortest interval Linux has) and TCP_NODELAY. The kernel's buffer sizes are left alone:
  // setting them to 0 does not mean "no buffering" here but clamps them to the minimum.
  // False, with a log line, when the socket cannot be created or an option cannot be set
  // (a refused SO_KEEPALIVE alone is tolerated); a socket made so far is closed again.
  bool CreateSocket();

  // Connects to a dotted IPv4 address. False when it is not numeric, the port is outside
  // 1-65535, the connection was aborted, connect fails or nothing answers within the connect
  // time-out. After a failure the socket may connect again.
  bool ConnectByAddress(const std::string& ip, std::int32_t port);
  // Resolves a host name (getaddrinfo, first IPv4 address) and connects to it.
  bool ConnectByHost(const std::string& host, std::int32_t port);

  // Sends one frame: length field and payload in one send call.
  void SendFrame(std::string_view payload);
  // Reads one frame exactly. nullopt for a frame of length 0 (nothing received this round).
  std::optional<std::string> ReceiveFrame();

  // Shuts the socket down and closes it; the handle is cleared. Safe when there is none.
  void CloseSocket();

  // Any thread: wakes a worker that waits in connect or recv (recv then reads the end of the
  // stream) and refuses every later connect of this object. The handle itself is closed only by the
  // owner's CloseSocket, so its number cannot be reused under a running call.
  void Abort();
  bool aborted() const { return aborted_.load(); }

  // The socket handle, -1 when there is none (for checks of its options).
  int nativeHandle() const;

 private:
  bool connectTo(std::uint32_t addressNetworkOrder, std::int32_t port);
  // The outcome of a connect in progress: 0 once connected, else the error (ETIMEDOUT when
  // nothing answered in time).
  int awaitConnect(int handle) const;
  int currentHandle() const;
  void readExactly(int handle, char* buffer, std::size_t size);

  LogSink log_;
  std::chrono::milliseconds connectTimeout_;
  mutable std::mutex mutex_;
  int handle_ = -1;
  std::atomic<bool> aborted_{false};
};

}  // namespace knowledge
