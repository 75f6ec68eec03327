#pragma once

#include <glib.h>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/message_loop.h"

namespace skinui::gtk {

// The window thread's loop on GLib's default main context, shared with GTK's own event
// sources. Posted messages sit in the loop's locked queue; the first post into an empty queue
// adds one idle source that delivers them (so a worker never runs window code itself, and the
// order of each thread's posts is kept). The library's timers are served by one GLib timeout
// armed for the earliest due timer. Modal waits (pumpFor) iterate the context nested, so
// redraws, input and timers keep flowing while a caller waits.
class GlibMessageLoop final : public platform::MessageLoop {
 public:
  explicit GlibMessageLoop(platform::Clock& clock = platform::SystemClock::instance());
  ~GlibMessageLoop() override;

  // Any thread.
  void quit(int code = 0) override;
  bool waitIdle(std::int64_t timeoutMs) override;

 protected:
  void pumpMessagesFor(std::int64_t ms) override;
  int runMessages() override;
  void wakeUp() override;

 private:
  static gboolean OnWake(gpointer self);
  static gboolean OnTimer(gpointer self);
  // Delivers what is pending, runs due timers and arms the timeout for the next one.
  void Service();
  void ArmTimer();
  // One blocking iteration of the context that returns at the latest after `ms`.
  void IterateAtMost(std::int64_t ms);

  GMainContext* context_;
  std::mutex wakeMutex_;
  guint wakeSource_ = 0;  // under wakeMutex_
  guint timerSource_ = 0;
  std::int64_t timerDueMs_ = -1;
  std::atomic<bool> quitting_{false};
  std::atomic<int> quitCode_{0};
  int runDepth_ = 0;
};

}  // namespace skinui::gtk
