#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace devservice {

// A test switch of the file server: how many data bytes per second each connection may send,
// so that a test can watch a transfer in progress on a machine where it would otherwise end in
// a blink. No limit until one is set. A change applies to the blocks that are being held back
// too, so a test that lifts the limit lets every transfer finish at once. Safe to use from
// every thread.
class FileTransferPace {
 public:
  // The lowest limit: a block of 4096 bytes then waits one second, so that a connection being
  // ended never waits long.
  static constexpr std::int64_t kMinBytesPerSecond = 4096;

  // 0 lifts the limit; other values below kMinBytesPerSecond are refused (false).
  bool set(std::int64_t bytesPerSecond);
  std::int64_t bytesPerSecond() const;
  // Holds a connection back as long as `bytes` take at the current limit; returns at once
  // without one or when the limit changes.
  void holdBack(std::size_t bytes) const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::int64_t bytesPerSecond_ = 0;  // guarded by mutex_
  std::uint64_t generation_ = 0;     // guarded by mutex_; counts the changes
};

}  // namespace devservice
