#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/message_loop.h"

namespace skinui {

class UiContext;

// Serves the automation protocol on a Unix socket: one JSON request per line, one JSON answer
// per line ({"ok":true,…} or {"ok":false,"error":"…"}). The socket is mode 0600 and only peers
// of this process's user are served. Requests are parsed on the connection's thread and
// executed on the window thread (posted to the loop), so they see exactly what the user would
// and a modal wait (a message box) keeps serving them. A request that acts as the user is
// answered once it is delivered, before any wait its handler begins, so that one connection
// can click a button and then answer the box the click opened.
class AutomationServer final : public platform::MessageTarget {
 public:
  static constexpr std::size_t kMaxRequestBytes = 1024 * 1024;

  // Window thread.
  explicit AutomationServer(UiContext& context);
  ~AutomationServer() override;
  AutomationServer(const AutomationServer&) = delete;
  AutomationServer& operator=(const AutomationServer&) = delete;

  // Listens at `path` (a stale socket there is replaced). False with a reason when it cannot.
  bool Start(const std::string& path, std::string& error);
  // Stops listening, answers requests still queued with an error and closes every connection.
  void Stop();
  // Starts a server when ZELK_AUTOMATION names a path; logs and answers null otherwise.
  static std::unique_ptr<AutomationServer> StartFromEnvironment(UiContext& context);

 private:
  struct Connection;
  void AcceptLoop();
  void Serve(std::shared_ptr<Connection> connection);
  std::string Answer(const std::string& line);
  void onMessage(platform::Message& message) override;

  UiContext& context_;
  platform::WindowId id_ = 0;
  std::string path_;
  int listenFd_ = -1;
  int wakeFds_[2] = {-1, -1};
  std::thread acceptThread_;
  std::mutex mutex_;
  std::condition_variable idle_;
  std::vector<std::shared_ptr<Connection>> connections_;
  int inFlight_ = 0;
  std::atomic<bool> stopping_{false};
};

}  // namespace skinui
