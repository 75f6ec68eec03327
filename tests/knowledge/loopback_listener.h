#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace knowledge_testing {

// A listening TCP socket on 127.0.0.1 with a port of the system's choice. A client's connect
// completes through the backlog, so a test can connect first and accept afterwards on the same
// thread. Once the backlog is full, the system drops further connection requests unanswered.
class LoopbackListener {
 public:
  explicit LoopbackListener(int backlog = 16);
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  std::int32_t port() const { return port_; }
  // Blocks until a client connects; returns its socket (owned by a PeerSocket).
  int accept() const;
  // Waits until a connection is ready to be accepted. False after `timeoutMs` without one.
  bool waitForConnection(int timeoutMs) const;
  // Stops listening: later connects are refused.
  void close();
  // Wakes a thread that waits in accept (it then fails); the socket stays open until close.
  void wake() const;

 private:
  int handle_ = -1;
  std::int32_t port_ = 0;
};

// The server's end of one connection.
class PeerSocket {
 public:
  explicit PeerSocket(int handle) : handle_(handle) {}
  ~PeerSocket();
  PeerSocket(const PeerSocket&) = delete;
  PeerSocket& operator=(const PeerSocket&) = delete;

  int handle() const { return handle_; }
  void write(std::string_view bytes) const;
  // Reads exactly `size` bytes; fewer when the client closed first.
  std::string read(std::size_t size) const;
  // Reads one frame the way the server side reads it; empty when the client closed.
  std::string readFrame() const;
  // Reads until the client closes; returns what came.
  std::string readToEnd() const;
  void close();
  // Closes with a reset instead of an orderly end.
  void reset();

 private:
  int handle_ = -1;
};

}  // namespace knowledge_testing
