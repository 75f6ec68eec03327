#pragma once

#include <atomic>
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

// Sends one message number with a UTF-8 text; true when the running instance took it (see
// InstanceListener::Receipt), within a few seconds.
bool SendInstanceMessage(const std::string& programFileName, std::uint32_t message,
                         const std::string& text);

// Listens for messages of later starts. The handler runs on the listener's own thread (post
// to the window thread from it). A socket left by a crashed instance is replaced.
class InstanceListener {
 public:
  // The answer a sender waits for. It is given when the receipt ends, so whoever holds it
  // decides when the message counts as taken: a handler that drops it answers at once, one that
  // posts it with the message answers once the window thread has freed the message. Any thread.
  class Receipt {
   public:
    // Owns the sender's connection (-1: a message without a sender) and counts itself among
    // the `unanswered` while it lives (null: uncounted).
    Receipt(int connection, std::shared_ptr<std::atomic<int>> unanswered);
    ~Receipt();
    Receipt(const Receipt&) = delete;
    Receipt& operator=(const Receipt&) = delete;
    // The sender learns that its message was not taken.
    void Refuse() { refused_ = true; }

   private:
    int connection_;
    std::shared_ptr<std::atomic<int>> unanswered_;
    bool refused_ = false;
  };

  using Handler = std::function<void(std::uint32_t message, std::string text,
                                     std::unique_ptr<Receipt> receipt)>;
  // Null when the socket cannot be created.
  static std::unique_ptr<InstanceListener> start(const std::string& programFileName,
                                                 Handler handler);
  virtual ~InstanceListener() = default;
};

}  // namespace platform
