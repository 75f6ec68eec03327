// The GLib loop on the default main context, without a display: order of posts from threads,
// timers, nested waits, quitting and idling.
#include "skinui/gtk/glib_message_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <latch>
#include <thread>
#include <vector>

namespace skinui::gtk {
namespace {

using Steady = std::chrono::steady_clock;

// A message target that hands each message to a function.
class Recorder final : public platform::MessageTarget {
 public:
  explicit Recorder(std::function<void(platform::Message&)> onMessage)
      : onMessage_(std::move(onMessage)) {}
  void onMessage(platform::Message& message) override { onMessage_(message); }

 private:
  std::function<void(platform::Message&)> onMessage_;
};

constexpr std::uint32_t kData = 0x500;
constexpr std::uint32_t kDone = 0x501;

TEST(GlibMessageLoopTest, PostsFromManyThreadsArriveInEachThreadsOrder) {
  GlibMessageLoop loop;
  constexpr int kThreads = 4;
  constexpr int kPerThread = 20000;
  std::vector<std::vector<int>> received(kThreads);
  int done = 0;
  Recorder target([&](platform::Message& m) {
    if (m.message == kData) {
      const int* value = m.payload.get<int>();
      ASSERT_NE(value, nullptr);
      received[m.wParam].push_back(*value);
    } else if (m.message == kDone && ++done == kThreads) {
      loop.quit(7);
    }
  });
  const platform::WindowId id = loop.addTarget(target);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&loop, id, t] {
      for (int i = 0; i < kPerThread; ++i) {
        loop.post(id, kData, platform::Payload::make<int>(i), static_cast<std::uintptr_t>(t));
      }
      loop.post(id, kDone);
    });
  }
  EXPECT_EQ(loop.run(), 7);
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    ASSERT_EQ(received[t].size(), static_cast<std::size_t>(kPerThread)) << t;
    for (int i = 0; i < kPerThread; ++i) ASSERT_EQ(received[t][i], i) << t;
  }
  loop.removeTarget(id);
}

TEST(GlibMessageLoopTest, TimersFireRepeatedlyUntilKilled) {
  GlibMessageLoop loop;
  int fired = 0;
  platform::WindowId id = 0;
  Recorder target([&](platform::Message& m) {
    if (m.message != platform::kTimerMessage || m.wParam != 3) return;
    if (++fired == 3) {
      loop.killTimer(id, 3);
      loop.post(id, kDone);
    }
  });
  id = loop.addTarget(target);
  bool quitSeen = false;
  Recorder quitter([&](platform::Message&) {
    quitSeen = true;
    loop.quit();
  });
  const platform::WindowId quitId = loop.addTarget(quitter);
  const auto start = Steady::now();
  loop.setTimer(id, 3, 15);
  // After the third firing the timer is gone: a later timer ends the loop.
  loop.setTimer(quitId, 1, 120);
  loop.run();
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start);
  EXPECT_EQ(fired, 3);
  EXPECT_TRUE(quitSeen);
  EXPECT_GE(elapsed.count(), 45);
  EXPECT_TRUE(loop.timers(id).empty());
  loop.removeTarget(id);
  loop.removeTarget(quitId);
}

TEST(GlibMessageLoopTest, NestedWaitInsideATimerKeepsTimersAndPostsFlowing) {
  GlibMessageLoop loop;
  int ticks = 0;
  int posted = 0;
  bool nestedDone = false;
  platform::WindowId id = 0;
  std::thread poster;
  Recorder target([&](platform::Message& m) {
    if (m.message == kData) {
      ++posted;
      return;
    }
    if (m.message != platform::kTimerMessage) return;
    if (m.wParam == 1) {
      // A modal wait started by a timer's handler, like a message box shown from a timer.
      loop.killTimer(id, 1);
      loop.setTimer(id, 2, 10);
      poster = std::thread([&loop, id] { loop.post(id, kData); });
      loop.pumpFor(100);
      nestedDone = true;
      loop.quit();
    } else if (m.wParam == 2) {
      ++ticks;
    }
  });
  id = loop.addTarget(target);
  loop.setTimer(id, 1, 5);
  loop.run();
  poster.join();
  EXPECT_TRUE(nestedDone);
  EXPECT_GE(ticks, 3);
  EXPECT_EQ(posted, 1);
  loop.removeTarget(id);
}

TEST(GlibMessageLoopTest, QuitFromAnotherThreadEndsANestedWaitAndTheRun) {
  GlibMessageLoop loop;
  bool pumpReturned = false;
  std::thread quitter;
  Recorder target([&](platform::Message&) {
    quitter = std::thread([&loop] { loop.quit(3); });
    // Would wait a minute unless the quit ends it.
    loop.pumpFor(60000);
    pumpReturned = true;
  });
  const platform::WindowId id = loop.addTarget(target);
  loop.post(id, kData);
  const auto start = Steady::now();
  EXPECT_EQ(loop.run(), 3);
  quitter.join();
  EXPECT_TRUE(pumpReturned);
  EXPECT_LT(Steady::now() - start, std::chrono::seconds(10));
  loop.removeTarget(id);
}

TEST(GlibMessageLoopTest, PumpForReturnsAfterItsTimeWithMessagesDelivered) {
  GlibMessageLoop loop;
  int delivered = 0;
  Recorder target([&](platform::Message&) { ++delivered; });
  const platform::WindowId id = loop.addTarget(target);
  loop.post(id, kData);
  std::thread([&loop, id] { loop.post(id, kData); }).join();
  const auto start = Steady::now();
  loop.pumpFor(40);
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start);
  EXPECT_EQ(delivered, 2);
  EXPECT_GE(elapsed.count(), 39);
  EXPECT_LT(elapsed.count(), 2000);
  loop.removeTarget(id);
}

TEST(GlibMessageLoopTest, WaitIdleWaitsForWorkersAndTheirResults) {
  GlibMessageLoop loop;
  std::atomic<bool> release{false};
  int results = 0;
  Recorder target([&](platform::Message&) { ++results; });
  const platform::WindowId id = loop.addTarget(target);
  std::latch started(1);
  loop.startWorker([&] {
    started.count_down();
    while (!release) std::this_thread::yield();
    loop.post(id, kData);
  });
  started.wait();
  // The worker is still running: not idle within a short wait.
  EXPECT_FALSE(loop.waitIdle(30));
  release = true;
  EXPECT_TRUE(loop.waitIdle(10000));
  EXPECT_EQ(results, 1);
  EXPECT_EQ(loop.runningWorkers(), 0);
  loop.removeTarget(id);
}

TEST(GlibMessageLoopTest, MessagesOfARemovedTargetAreDroppedWithTheirPayloads) {
  GlibMessageLoop loop;
  auto alive = std::make_shared<int>(1);
  std::weak_ptr<int> watch = alive;
  int delivered = 0;
  Recorder target([&](platform::Message&) { ++delivered; });
  const platform::WindowId id = loop.addTarget(target);
  loop.post(id, kData, platform::Payload::make<std::shared_ptr<int>>(std::move(alive)));
  loop.removeTarget(id);
  EXPECT_TRUE(watch.expired());
  loop.post(id, kData);  // to a target that is gone
  loop.pumpFor(20);
  EXPECT_EQ(delivered, 0);
}

TEST(GlibMessageLoopTest, ALoopDestroyedWithAWakeUpPendingLeavesNothingBehind) {
  int delivered = 0;
  Recorder target([&](platform::Message&) { ++delivered; });
  {
    GlibMessageLoop loop;
    const platform::WindowId id = loop.addTarget(target);
    loop.post(id, kData);
    loop.setTimer(id, 1, 1);
  }
  // The context runs on without calling into the freed loop (the sanitizers would tell).
  const auto end = Steady::now() + std::chrono::milliseconds(30);
  while (Steady::now() < end) g_main_context_iteration(nullptr, FALSE);
  EXPECT_EQ(delivered, 0);
}

}  // namespace
}  // namespace skinui::gtk
