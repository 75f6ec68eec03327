#include "ui/observer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ui {
namespace {

struct Seen {
  std::vector<std::string> calls;
};

class Recorder final : public ReceiverImpl<int> {
 public:
  Recorder(std::string name, Seen& seen) : name_(std::move(name)), seen_(seen) {}
  void Receive(const int& value) override {
    seen_.calls.push_back(name_ + ":" + std::to_string(value));
  }

 private:
  std::string name_;
  Seen& seen_;
};

TEST(ObserverTest, EveryReceiverGetsEachBroadcastInJoiningOrder) {
  Seen seen;
  ObserverImpl<int> observer;
  Recorder a("a", seen);
  Recorder b("b", seen);
  observer.AddReceiver(&b);
  observer.AddReceiver(&a);
  observer.AddReceiver(&b);  // joining twice counts once
  observer.Broadcast(7);
  EXPECT_EQ(seen.calls, (std::vector<std::string>{"b:7", "a:7"}));
}

TEST(ObserverTest, AReceiverThatIsDestroyedLeavesTheObserver) {
  Seen seen;
  ObserverImpl<int> observer;
  Recorder stays("stays", seen);
  observer.AddReceiver(&stays);
  {
    Recorder goes("goes", seen);
    observer.AddReceiver(&goes);
    EXPECT_EQ(observer.ReceiverCount(), 2u);
  }
  EXPECT_EQ(observer.ReceiverCount(), 1u);
  observer.Broadcast(1);
  EXPECT_EQ(seen.calls, (std::vector<std::string>{"stays:1"}));
}

TEST(ObserverTest, AnObserverThatGoesFirstIsForgottenByItsReceivers) {
  Seen seen;
  auto receiver = std::make_unique<Recorder>("r", seen);
  {
    ObserverImpl<int> first;
    first.AddReceiver(receiver.get());
  }
  ObserverImpl<int> second;
  second.AddReceiver(receiver.get());
  second.Broadcast(5);
  // Leaving touches only the observer that still exists (the sanitizers watch the other).
  receiver.reset();
  EXPECT_EQ(second.ReceiverCount(), 0u);
  EXPECT_EQ(seen.calls, (std::vector<std::string>{"r:5"}));
}

class Remover final : public ReceiverImpl<int> {
 public:
  Remover(ObserverImpl<int>& observer, ReceiverImpl<int>*& victim)
      : observer_(observer), victim_(victim) {}
  void Receive(const int&) override { observer_.RemoveReceiver(victim_); }

 private:
  ObserverImpl<int>& observer_;
  ReceiverImpl<int>*& victim_;
};

TEST(ObserverTest, AReceiverRemovedDuringABroadcastGetsNothingMore) {
  Seen seen;
  ObserverImpl<int> observer;
  Recorder later("later", seen);
  ReceiverImpl<int>* victim = &later;
  Remover remover(observer, victim);
  observer.AddReceiver(&remover);
  observer.AddReceiver(&later);
  observer.Broadcast(3);
  EXPECT_TRUE(seen.calls.empty());
  EXPECT_EQ(observer.ReceiverCount(), 1u);
}

}  // namespace
}  // namespace ui
