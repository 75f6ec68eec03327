#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/payload.h"

namespace platform {

// Identifies a message target (a window). 0 is no window; ids are never reused in one loop.
using WindowId = std::uint64_t;

// Delivered to a target for each of its timers; wParam is the timer id.
inline constexpr std::uint32_t kTimerMessage = 0x0113;

struct Message {
  WindowId window = 0;
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  Payload payload;
};

class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  // Called on the loop thread. The payload is freed after the call unless the target takes it.
  virtual void onMessage(Message& message) = 0;
};

struct TimerInfo {
  std::uint32_t id = 0;
  std::int64_t periodMs = 0;
  std::int64_t dueMs = 0;
};

// The window thread's message loop: posted messages (from any thread), timers per window and
// id, nested pumping for modal waits, and the count of worker threads the program started.
// The headless and GTK backends differ only in how they wait and wake.
class MessageLoop {
 public:
  explicit MessageLoop(Clock& clock);
  virtual ~MessageLoop();
  MessageLoop(const MessageLoop&) = delete;
  MessageLoop& operator=(const MessageLoop&) = delete;

  // Loop thread only.
  WindowId addTarget(MessageTarget& target);
  void removeTarget(WindowId window);  // pending messages and timers of it are dropped
  void setTimer(WindowId window, std::uint32_t id, std::int64_t periodMs);
  void killTimer(WindowId window, std::uint32_t id);
  std::vector<TimerInfo> timers(WindowId window) const;
  // Runs one timer's handler now, as if it had fallen due. False when there is no such timer.
  bool fireTimer(WindowId window, std::uint32_t id);

  // Any thread. A message to a window that is gone is dropped with its payload.
  void post(WindowId window, std::uint32_t message, Payload payload = {},
            std::uintptr_t wParam = 0);

  // Starts a detached worker thread that the loop counts until it ends. The function runs
  // inside a catch-all; the loop's destructor waits for every worker it started.
  void startWorker(std::function<void()> work);
  int runningWorkers() const { return workers_.load(); }
  std::size_t pendingMessages() const;

  // Processes messages and timers for the given time, then returns (modal waits).
  void pumpFor(std::int64_t ms);
  // Runs until quit; returns the quit code.
  int run();
  virtual void quit(int code = 0) = 0;
  // Processes messages until none is pending and no worker runs, waiting at most the given
  // real time. True when idle was reached.
  virtual bool waitIdle(std::int64_t timeoutMs) = 0;

  Clock& clock() const { return clock_; }
  bool isLoopThread() const { return std::this_thread::get_id() == loopThread_; }

  // Loop thread only. The observer hears of every wait (pumpFor, run) as it begins, before the
  // wait processes anything. Called inside a handler, that is a nested wait such as a message
  // box waiting for its answer: whoever delivered the handler's message can act before the wait
  // ends (the automation answers its request then). Answers the observer it replaces.
  std::function<void()> exchangeWaitObserver(std::function<void()> observer);

 protected:
  // The backend's waits behind pumpFor and run.
  virtual void pumpMessagesFor(std::int64_t ms) = 0;
  virtual int runMessages() = 0;
  // Delivers every message posted before the call; returns how many were delivered.
  std::size_t dispatchPending();
  // Runs the handlers of all timers due now; returns the time of the next due timer or -1.
  std::int64_t fireDueTimers();
  std::int64_t nextTimerDue() const;
  // Called after a post or a worker's end (any thread) so that a waiting backend wakes up.
  virtual void wakeUp() = 0;
  // Blocks until every worker has ended. Each backend's destructor calls it first, because a
  // finishing worker still calls wakeUp of the backend.
  void waitForWorkers();

  mutable std::mutex queueMutex_;

 private:
  void deliver(Message& message);
  void beginWait();

  Clock& clock_;
  std::thread::id loopThread_;
  std::deque<Message> queue_;
  std::map<WindowId, MessageTarget*> targets_;
  std::map<std::pair<WindowId, std::uint32_t>, TimerInfo> timers_;
  WindowId nextWindow_ = 1;
  std::function<void()> waitObserver_;

  std::atomic<int> workers_{0};
  std::mutex workersMutex_;
  std::condition_variable workersDone_;
};

}  // namespace platform
