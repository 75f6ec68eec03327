#include "platform/message_loop.h"

#include <cstdio>
#include <exception>

#include "platform/alternate_signal_stack.h"

namespace platform {

MessageLoop::MessageLoop(Clock& clock) : clock_(clock), loopThread_(std::this_thread::get_id()) {}

MessageLoop::~MessageLoop() {
  waitForWorkers();
}

void MessageLoop::waitForWorkers() {
  // Workers hold a reference to the loop to post their results; let them finish first.
  std::unique_lock lock(workersMutex_);
  workersDone_.wait(lock, [this] { return workers_.load() == 0; });
}

WindowId MessageLoop::addTarget(MessageTarget& target) {
  std::lock_guard lock(queueMutex_);
  const WindowId id = nextWindow_++;
  targets_[id] = &target;
  return id;
}

void MessageLoop::removeTarget(WindowId window) {
  std::deque<Message> dropped;  // freed outside the lock: a payload's destructor may post
  {
    std::lock_guard lock(queueMutex_);
    targets_.erase(window);
    for (auto it = timers_.begin(); it != timers_.end();) {
      it = it->first.first == window ? timers_.erase(it) : std::next(it);
    }
    for (auto it = queue_.begin(); it != queue_.end();) {
      if (it->window == window) {
        dropped.push_back(std::move(*it));
        it = queue_.erase(it);
      } else {
        ++it;
      }
    }
  }
}

void MessageLoop::setTimer(WindowId window, std::uint32_t id, std::int64_t periodMs) {
  {
    std::lock_guard lock(queueMutex_);
    if (targets_.count(window) == 0) return;
    const std::int64_t period = periodMs > 0 ? periodMs : 1;
    timers_[{window, id}] = TimerInfo{id, period, clock_.nowMs() + period};
  }
  wakeUp();
}

void MessageLoop::killTimer(WindowId window, std::uint32_t id) {
  std::lock_guard lock(queueMutex_);
  timers_.erase({window, id});
}

std::vector<TimerInfo> MessageLoop::timers(WindowId window) const {
  std::lock_guard lock(queueMutex_);
  std::vector<TimerInfo> result;
  for (const auto& [key, info] : timers_) {
    if (key.first == window) result.push_back(info);
  }
  return result;
}

bool MessageLoop::fireTimer(WindowId window, std::uint32_t id) {
  {
    std::lock_guard lock(queueMutex_);
    if (timers_.count({window, id}) == 0) return false;
  }
  Message message{window, kTimerMessage, id, {}};
  deliver(message);
  return true;
}

void MessageLoop::post(WindowId window, std::uint32_t message, Payload payload,
                       std::uintptr_t wParam) {
  {
    std::lock_guard lock(queueMutex_);
    if (targets_.count(window) == 0) return;  // payload freed on return
    queue_.push_back(Message{window, message, wParam, std::move(payload)});
  }
  wakeUp();
}

void MessageLoop::startWorker(std::function<void()> work) {
  workers_.fetch_add(1);
  std::thread([this, work = std::move(work)]() mutable {
    // So that a stack overflow in the work still leaves a crash dump.
    const AlternateSignalStack signalStack;
    try {
      work();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "worker ended by an exception: %s\n", e.what());
    } catch (...) {
      std::fprintf(stderr, "worker ended by an unknown exception\n");
    }
    work = nullptr;  // free what the worker owned before it counts as finished
    wakeUp();
    // Notify under the lock: once it is released the destructor may run and free the loop.
    std::lock_guard lock(workersMutex_);
    workers_.fetch_sub(1);
    workersDone_.notify_all();
  }).detach();
}

void MessageLoop::pumpFor(std::int64_t ms) {
  beginWait();
  pumpMessagesFor(ms);
}

int MessageLoop::run() {
  beginWait();
  return runMessages();
}

std::function<void()> MessageLoop::exchangeWaitObserver(std::function<void()> observer) {
  std::swap(observer, waitObserver_);
  return observer;
}

void MessageLoop::beginWait() {
  // A copy: the observer may replace itself.
  if (const std::function<void()> observer = waitObserver_) observer();
}

std::size_t MessageLoop::pendingMessages() const {
  std::lock_guard lock(queueMutex_);
  return queue_.size();
}

std::size_t MessageLoop::dispatchPending() {
  std::size_t count;
  {
    std::lock_guard lock(queueMutex_);
    count = queue_.size();
  }
  // Only what was posted before this call: a handler that posts again cannot starve timers.
  std::size_t delivered = 0;
  for (; delivered < count; ++delivered) {
    Message message;
    {
      std::lock_guard lock(queueMutex_);
      if (queue_.empty()) break;
      message = std::move(queue_.front());
      queue_.pop_front();
    }
    deliver(message);
  }
  return delivered;
}

std::int64_t MessageLoop::fireDueTimers() {
  const std::int64_t now = clock_.nowMs();
  std::vector<std::pair<WindowId, std::uint32_t>> due;
  {
    std::lock_guard lock(queueMutex_);
    for (auto& [key, info] : timers_) {
      if (info.dueMs <= now) {
        due.push_back(key);
        info.dueMs = now + info.periodMs;
      }
    }
  }
  for (const auto& [window, id] : due) {
    {
      std::lock_guard lock(queueMutex_);
      if (timers_.count({window, id}) == 0) continue;  // killed by an earlier handler
    }
    Message message{window, kTimerMessage, id, {}};
    deliver(message);
  }
  return nextTimerDue();
}

std::int64_t MessageLoop::nextTimerDue() const {
  std::lock_guard lock(queueMutex_);
  std::int64_t next = -1;
  for (const auto& [key, info] : timers_) {
    if (next < 0 || info.dueMs < next) next = info.dueMs;
  }
  return next;
}

void MessageLoop::deliver(Message& message) {
  MessageTarget* target = nullptr;
  {
    std::lock_guard lock(queueMutex_);
    const auto it = targets_.find(message.window);
    if (it != targets_.end()) target = it->second;
  }
  if (target == nullptr) return;
  try {
    target->onMessage(message);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "message 0x%X ended by an exception: %s\n", message.message, e.what());
  } catch (...) {
    std::fprintf(stderr, "message 0x%X ended by an unknown exception\n", message.message);
  }
}

}  // namespace platform
