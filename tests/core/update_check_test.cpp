#include "core/update_check.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/headless_message_loop.h"
#include "scripted_zelk_lib.h"
#include "support/temp_dir.h"

namespace core {
namespace {

using core_testing::ScriptedZelkLib;

class UpdateCheckTest : public ::testing::Test {
 protected:
  void check() {
    DoCheckUpdate(loop_, state_, binding_, u"/app",
                  UpdaterLauncher(binding_, launcher_, dir_.path()));
    ASSERT_TRUE(loop_.waitIdle(10000));
  }
  int checks() const {
    const auto events = lib_.record().events;
    return static_cast<int>(std::count(events.begin(), events.end(), "CheckNeedUpdate"));
  }

  testing_support::TempDir dir_;
  ScriptedZelkLib lib_;
  ZelkLibBinding binding_ = lib_.binding();
  platform::ManualClock clock_;
  platform::HeadlessMessageLoop loop_{clock_};
  platform::ShellLauncher launcher_{true};
  std::shared_ptr<UpdateCheckState> state_ = std::make_shared<UpdateCheckState>();
};

TEST_F(UpdateCheckTest, FoundUpdateStartsTheUpdaterWithoutParametersAfterTheDelay) {
  bool runningWhileAsking = false;
  lib_.script({.checkNeedUpdateResult = 1,
               .duringCheckNeedUpdate = [&] { runningWhileAsking = state_->checkRunning; }});
  check();
  EXPECT_TRUE(runningWhileAsking);
  EXPECT_EQ(clock_.sleptMs(), 8000);
  EXPECT_EQ(checks(), 1);
  EXPECT_EQ(lib_.record().checkNeedUpdateDirectory, "/app");
  EXPECT_TRUE(state_->updateFound);
  EXPECT_FALSE(state_->checkRunning);
  const auto requests = launcher_.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, dir_.path() + "/ZelkUpdater");
  EXPECT_EQ(requests[0].parameters, "");
  EXPECT_EQ(requests[0].directory, dir_.path());
}

TEST_F(UpdateCheckTest, OnlyAnAnswerOfExactlyOneCountsAsFound) {
  for (const int answer : {0, 2, -1}) {
    lib_.script({.checkNeedUpdateResult = answer});
    check();
    EXPECT_FALSE(state_->updateFound) << answer;
    EXPECT_FALSE(state_->checkRunning);
  }
  EXPECT_TRUE(launcher_.requests().empty());
}

TEST_F(UpdateCheckTest, FailedCheckIsLoggedAndCountsAsNoUpdate) {
  lib_.script({.raiseInCheckNeedUpdate = true});
  state_->updateFound = true;
  check();
  EXPECT_EQ(lib_.record().log, std::vector<std::string>{"检测更新出现未知异常"});
  EXPECT_FALSE(state_->updateFound);
  EXPECT_FALSE(state_->checkRunning);
  EXPECT_TRUE(launcher_.requests().empty());
}

TEST_F(UpdateCheckTest, RunningUpdaterIsNotStartedTwice) {
  lib_.script({.runningProcesses = {"ZelkUpdater"}, .checkNeedUpdateResult = 1});
  check();
  EXPECT_TRUE(state_->updateFound);
  EXPECT_TRUE(launcher_.requests().empty());
}

TEST_F(UpdateCheckTest, AbandonedCheckEndsWithoutAsking) {
  lib_.script({.checkNeedUpdateResult = 1});
  state_->abandoned = true;
  check();
  EXPECT_EQ(checks(), 0);
  EXPECT_LT(clock_.sleptMs(), 8000);
  EXPECT_FALSE(state_->checkRunning);
  EXPECT_TRUE(launcher_.requests().empty());
}

TEST_F(UpdateCheckTest, WithoutTheExportNothingIsFound) {
  binding_ = lib_.binding({"CheckNeedUpdate"});
  check();
  EXPECT_FALSE(state_->updateFound);
  EXPECT_TRUE(launcher_.requests().empty());
}

}  // namespace
}  // namespace core
