#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "knowledge/file_server_messages.h"
#include "loopback_listener.h"

namespace knowledge_testing {

// A file server written for the tests: it accepts connections one after another on loopback
// and runs a session function for each on its own thread. The helpers below are the honest
// server's behaviour; tests build misbehaving sessions from them.
class TestFileServer {
 public:
  // Runs for each accepted connection; `index` counts connections from 0.
  using Session = std::function<void(PeerSocket& peer, int index)>;

  explicit TestFileServer(Session session);
  ~TestFileServer();
  TestFileServer(const TestFileServer&) = delete;
  TestFileServer& operator=(const TestFileServer&) = delete;

  std::int32_t port() const { return listener_.port(); }
  int connections() const { return connections_.load(); }
  // Every request and stop message the sessions recorded, in order.
  std::vector<knowledge::DownloadRequest> requests() const;
  int stops() const { return stops_.load(); }
  // Waits until `count` sessions have returned (at most 30 s); false when they have not.
  bool waitForSessions(int count);

  // Reads one client frame and records it. nullopt when the client closed the connection or
  // sent a stop.
  std::optional<knowledge::DownloadRequest> nextRequest(const PeerSocket& peer);

  // The honest block for a request of `content`: total, the offset asked for, up to 4096 bytes.
  static std::string BlockFrame(const std::string& content, std::int32_t offset);
  // Serves `content` until the client closes or stops.
  void ServeFile(const PeerSocket& peer, const std::string& content);

 private:
  void acceptLoop();

  LoopbackListener listener_;
  Session session_;
  std::atomic<int> connections_{0};
  std::atomic<int> stops_{0};
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::vector<knowledge::DownloadRequest> requests_;
  int finishedSessions_ = 0;  // guarded by mutex_
  std::condition_variable sessionEnded_;
  std::thread thread_;
};

}  // namespace knowledge_testing
