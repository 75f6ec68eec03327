#include "shell/termination_signals.h"

#include <gtest/gtest.h>

#include <csignal>

#include "platform/headless_message_loop.h"

namespace shell {

namespace {

void (*currentHandler(int signal))(int) {
  struct sigaction action {};
  sigaction(signal, nullptr, &action);
  return action.sa_handler;
}

TEST(TerminationSignals, EachSignalEndsTheRunningLoop) {
  for (const int signal : {SIGTERM, SIGINT}) {
    platform::HeadlessMessageLoop loop;
    const TerminationSignals signals(loop);
    ASSERT_TRUE(signals.active());
    raise(signal);
    EXPECT_EQ(loop.run(), 0) << signal;
  }
}

TEST(TerminationSignals, PreviousHandlersComeBackWhenDestroyed) {
  const auto before = currentHandler(SIGTERM);
  {
    platform::HeadlessMessageLoop loop;
    const TerminationSignals signals(loop);
    EXPECT_NE(currentHandler(SIGTERM), before);
  }
  EXPECT_EQ(currentHandler(SIGTERM), before);
}

}  // namespace
}  // namespace shell
