#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// The per-user channel through which a second start of a program reaches the instance that
// already runs: a Unix socket of mode 0600 in the user's runtime folder ($XDG_RUNTIME_DIR, or a
// private 0700 folder under /tmp when it is unset). A listener accepts only peers of its own
// user id. Tests isolate themselves by giving each run its own XDG_RUNTIME_DIR.

// The folder that holds this user's channels (created 0700 when missing).
std::string UserRuntimeDirectory();
std::string InstanceSocketPath(const std::string& programFileName);

// Sends one message number with a UTF-8 text; true when the running instance accepted it.
bool SendInstanceMessage(const std::string& programFileName, std::uint32_t message,
                         const std::string& text);

// Listens for messages of later starts. The handler runs on the listener's own thread (post
// to the window thread from it). A socket left by a crashed instance is replaced.
class InstanceListener {
 public:
  using Handler = std::function<void(std::uint32_t message, std::string text)>;
  // Null when the socket cannot be created.
  static std::unique_ptr<InstanceListener> start(const std::string& programFileName, Handler handler);
  virtual ~InstanceListener() = default;
};

}  // namespace platform
