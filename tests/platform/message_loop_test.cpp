#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/headless_message_loop.h"

namespace platform {
namespace {

struct Recorder : MessageTarget {
  std::vector<std::uint32_t> messages;
  std::vector<std::uintptr_t> timerIds;
  std::vector<std::int64_t> timerTimes;
  std::function<void(Message&)> extra;
  Clock* clock = nullptr;
  void onMessage(Message& message) override {
    messages.push_back(message.message);
    if (message.message == kTimerMessage) {
      timerIds.push_back(message.wParam);
      if (clock) timerTimes.push_back(clock->nowMs());
    }
    if (extra) extra(message);
  }
};

// Counts destructions so the tests can see that every posted payload is freed exactly once.
struct Tracked {
  explicit Tracked(std::atomic<int>& counter) : destroyed(counter) {}
  ~Tracked() { ++destroyed; }
  std::atomic<int>& destroyed;
};

TEST(MessageLoop, PostedPayloadsAreFreedWhetherHandledDroppedOrMisaddressed) {
  std::atomic<int> destroyed{0};
  ManualClock clock;
  {
    HeadlessMessageLoop loop(clock);
    Recorder target;
    const WindowId window = loop.addTarget(target);
    std::unique_ptr<Tracked> taken;
    target.extra = [&](Message& m) {
      if (m.message == 1) taken = m.payload.take<Tracked>();
      EXPECT_EQ(m.payload.get<int>(), nullptr);  // wrong type answers null
    };
    loop.post(window, 1, Payload::make<Tracked>(destroyed));
    loop.post(window, 2, Payload::make<Tracked>(destroyed));
    loop.post(window + 100, 3, Payload::make<Tracked>(destroyed));  // no such window
    EXPECT_EQ(destroyed, 1);
    loop.pumpFor(0);
    EXPECT_EQ(target.messages, (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(destroyed, 2);
    ASSERT_NE(taken, nullptr);
    taken.reset();
    EXPECT_EQ(destroyed, 3);
    loop.post(window, 4, Payload::make<Tracked>(destroyed));
    loop.removeTarget(window);  // pending message of a closed window is dropped
    EXPECT_EQ(destroyed, 4);
  }
}

TEST(MessageLoop, MessagesFromManyThreadsArriveInPerThreadOrder) {
  HeadlessMessageLoop loop;
  Recorder target;
  const WindowId window = loop.addTarget(target);
  std::vector<std::vector<std::uintptr_t>> seen(4);
  target.extra = [&](Message& m) { seen[m.message].push_back(m.wParam); };
  for (std::uint32_t t = 0; t < 4; ++t) {
    loop.startWorker([&loop, window, t] {
      for (std::uintptr_t i = 0; i < 1000; ++i) loop.post(window, t, {}, i);
    });
  }
  ASSERT_TRUE(loop.waitIdle(10000));
  for (const auto& list : seen) {
    ASSERT_EQ(list.size(), 1000u);
    for (std::size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i], i);
  }
}

TEST(MessageLoop, TimersFireByPeriodOnTheManualClockAndStopWhenKilled) {
  ManualClock clock(1000);
  HeadlessMessageLoop loop(clock);
  Recorder target;
  target.clock = &clock;
  const WindowId window = loop.addTarget(target);
  loop.setTimer(window, 20, 300);
  loop.setTimer(window, 40, 500);
  loop.pumpFor(1000);
  EXPECT_EQ(target.timerIds, (std::vector<std::uintptr_t>{20, 40, 20, 20, 40}));
  EXPECT_EQ(target.timerTimes, (std::vector<std::int64_t>{1300, 1500, 1600, 1900, 2000}));
  EXPECT_EQ(clock.nowMs(), 2000);
  loop.killTimer(window, 20);
  ASSERT_EQ(loop.timers(window).size(), 1u);
  EXPECT_EQ(loop.timers(window)[0].id, 40u);
  target.timerIds.clear();
  loop.pumpFor(1000);
  EXPECT_EQ(target.timerIds, (std::vector<std::uintptr_t>{40, 40}));
  EXPECT_TRUE(loop.fireTimer(window, 40));
  EXPECT_FALSE(loop.fireTimer(window, 20));
}

TEST(MessageLoop, ATimerKilledByAnEarlierHandlerDoesNotFire) {
  ManualClock clock;
  HeadlessMessageLoop loop(clock);
  Recorder target;
  const WindowId window = loop.addTarget(target);
  target.extra = [&](Message& m) {
    if (m.message == kTimerMessage && m.wParam == 1) loop.killTimer(window, 2);
  };
  loop.setTimer(window, 1, 100);
  loop.setTimer(window, 2, 100);
  loop.pumpFor(100);
  EXPECT_EQ(target.timerIds, (std::vector<std::uintptr_t>{1}));
}

TEST(MessageLoop, RunEndsOnQuitWithItsCodeAndNestedPumpingKeepsDelivering) {
  ManualClock clock;
  HeadlessMessageLoop loop(clock);
  Recorder target;
  const WindowId window = loop.addTarget(target);
  target.extra = [&](Message& m) {
    if (m.message == 1) {
      // A modal wait: messages posted meanwhile are still delivered.
      loop.post(window, 2);
      loop.pumpFor(50);
      loop.quit(7);
    }
  };
  loop.post(window, 1);
  EXPECT_EQ(loop.run(), 7);
  EXPECT_EQ(target.messages, (std::vector<std::uint32_t>{1, 2}));
}

TEST(MessageLoop, DestructionWaitsForRunningWorkers) {
  std::atomic<bool> finished{false};
  {
    HeadlessMessageLoop loop;
    loop.startWorker([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      finished = true;
    });
    loop.startWorker([] { throw std::runtime_error("caught at the worker's boundary"); });
  }
  EXPECT_TRUE(finished);
}

}  // namespace
}  // namespace platform
