#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

// Milliseconds of a monotonic clock. Everything that waits or measures time takes a Clock so
// that tests can run specified pauses (retry waits, receive rounds, the update delay) instantly.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t nowMs() const = 0;
  virtual void sleepMs(std::int64_t ms) = 0;
};

class SystemClock final : public Clock {
 public:
  std::int64_t nowMs() const override;
  void sleepMs(std::int64_t ms) override;
  static SystemClock& instance();
};

// A clock that only moves when told to. sleepMs advances it at once, so a worker that sleeps
// returns immediately with the time moved on; waitUntilSleeping lets a test meet a worker there.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(std::int64_t startMs = 0) : now_(startMs) {}
  std::int64_t nowMs() const override;
  void sleepMs(std::int64_t ms) override;
  void advance(std::int64_t ms);
  // Total of all sleepMs calls so far (how long the code under test asked to pause).
  std::int64_t sleptMs() const;

 private:
  mutable std::mutex mutex_;
  std::int64_t now_;
  std::int64_t slept_ = 0;
};

}  // namespace platform
