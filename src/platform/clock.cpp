#include "platform/clock.h"

#include <thread>

namespace platform {

std::int64_t SystemClock::nowMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::sleepMs(std::int64_t ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

SystemClock& SystemClock::instance() {
  static SystemClock clock;
  return clock;
}

std::int64_t ManualClock::nowMs() const {
  std::lock_guard lock(mutex_);
  return now_;
}

void ManualClock::sleepMs(std::int64_t ms) {
  std::lock_guard lock(mutex_);
  if (ms > 0) {
    now_ += ms;
    slept_ += ms;
  }
}

void ManualClock::advance(std::int64_t ms) {
  std::lock_guard lock(mutex_);
  now_ += ms;
}

std::int64_t ManualClock::sleptMs() const {
  std::lock_guard lock(mutex_);
  return slept_;
}

}  // namespace platform
