#pragma once

#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>

namespace zelklib_testing {

// A cpp-httplib server on a free loopback port, serving from its own thread. The port is bound
// and listening once the constructor returns, so requests may be sent at once.
class LoopbackServer {
 public:
  LoopbackServer() { port_ = server.bind_to_any_port("127.0.0.1"); }
  ~LoopbackServer() { stop(); }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // Call after installing the handlers.
  void start() {
    thread_ = std::thread([this] { server.listen_after_bind(); });
  }
  void stop() {
    if (!thread_.joinable()) return;
    // stop() only reaches a loop that runs; wait (bounded) for it to have started.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!server.is_running() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::yield();
    server.stop();
    thread_.join();
  }
  int port() const { return port_; }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::string hostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }

  httplib::Server server;

 private:
  int port_ = -1;
  std::thread thread_;
};

// A loopback port with nobody listening (bound once, then released).
int UnusedLoopbackPort();

}  // namespace zelklib_testing
