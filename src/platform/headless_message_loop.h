#pragma once

#include <condition_variable>

#include "platform/message_loop.h"

namespace platform {

// A loop without a display. With a ManualClock, pumpFor moves the clock from timer to timer
// instead of waiting, so a test can run minutes of timers in no time.
class HeadlessMessageLoop final : public MessageLoop {
 public:
  explicit HeadlessMessageLoop(Clock& clock = SystemClock::instance());
  ~HeadlessMessageLoop() override;

  void quit(int code = 0) override;
  bool waitIdle(std::int64_t timeoutMs) override;

 protected:
  void pumpMessagesFor(std::int64_t ms) override;
  int runMessages() override;
  void wakeUp() override;

 private:
  // Waits until woken or until the clock reaches `untilMs` (-1: until woken).
  void waitUntil(std::int64_t untilMs);

  std::condition_variable wake_;
  bool woken_ = false;
  std::atomic<bool> quitting_{false};
  int quitCode_ = 0;
  int runDepth_ = 0;
};

}  // namespace platform
