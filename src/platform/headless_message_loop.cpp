#include "platform/headless_message_loop.h"

#include <algorithm>
#include <chrono>

namespace platform {

HeadlessMessageLoop::HeadlessMessageLoop(Clock& clock) : MessageLoop(clock) {}

HeadlessMessageLoop::~HeadlessMessageLoop() {
  waitForWorkers();
}

void HeadlessMessageLoop::wakeUp() {
  {
    std::lock_guard lock(queueMutex_);
    woken_ = true;
  }
  wake_.notify_all();
}

void HeadlessMessageLoop::waitUntil(std::int64_t untilMs) {
  auto* manual = dynamic_cast<ManualClock*>(&clock());
  std::unique_lock lock(queueMutex_);
  if (woken_) {
    woken_ = false;
    return;
  }
  if (manual != nullptr) {
    // Nothing can become due on its own: move the clock to the deadline, or wait for a post.
    if (untilMs >= 0) {
      lock.unlock();
      manual->advance(std::max<std::int64_t>(0, untilMs - manual->nowMs()));
    } else {
      wake_.wait(lock, [this] { return woken_; });
      woken_ = false;
    }
    return;
  }
  if (untilMs < 0) {
    wake_.wait(lock, [this] { return woken_; });
  } else {
    const auto delay =
        std::chrono::milliseconds(std::max<std::int64_t>(0, untilMs - clock().nowMs()));
    wake_.wait_for(lock, delay, [this] { return woken_; });
  }
  woken_ = false;
}

void HeadlessMessageLoop::pumpMessagesFor(std::int64_t ms) {
  const std::int64_t end = clock().nowMs() + std::max<std::int64_t>(0, ms);
  while (!quitting_) {
    dispatchPending();
    const std::int64_t next = fireDueTimers();
    if (pendingMessages() > 0) continue;
    if (clock().nowMs() >= end) break;
    waitUntil(next >= 0 ? std::min(next, end) : end);
  }
}

int HeadlessMessageLoop::runMessages() {
  ++runDepth_;
  while (!quitting_) {
    dispatchPending();
    const std::int64_t next = fireDueTimers();
    if (quitting_) break;
    if (pendingMessages() > 0) continue;
    waitUntil(next);
  }
  if (--runDepth_ == 0) quitting_ = false;
  return quitCode_;
}

void HeadlessMessageLoop::quit(int code) {
  quitCode_ = code;
  quitting_ = true;
  wakeUp();
}

bool HeadlessMessageLoop::waitIdle(std::int64_t timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    dispatchPending();
    if (pendingMessages() == 0 && runningWorkers() == 0) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::unique_lock lock(queueMutex_);
    wake_.wait_until(
        lock, std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(50)),
        [this] { return woken_; });
    woken_ = false;
  }
}

}  // namespace platform
