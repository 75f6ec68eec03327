#include "shell/main_window.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/headless_message_loop.h"
#include "scripted_zelk_lib.h"
#include "shell/window_messages.h"
#include "support/temp_dir.h"

namespace shell {
namespace {

using shell_testing::ScriptedZelkLib;
using Lines = std::vector<std::string>;

class BasicMainWindowTest : public ::testing::Test {
 protected:
  BasicMainWindow& window() {
    if (!window_) {
      window_ = std::make_unique<BasicMainWindow>(MainWindowContext{
          loop_, binding_, dir_.path(), UpdaterLauncher(binding_, launcher_, dir_.path())});
    }
    return *window_;
  }
  void arrive() {
    loop_.post(window().window(), WM_URL_PROTOCOL_ARRIVED);
    ASSERT_TRUE(loop_.waitIdle(10000));
  }

  testing_support::TempDir dir_;
  ScriptedZelkLib lib_;
  ZelkLibBinding binding_ = lib_.binding();
  platform::ManualClock clock_;
  platform::HeadlessMessageLoop loop_{clock_};
  platform::ShellLauncher launcher_{true};
  std::unique_ptr<BasicMainWindow> window_;
};

TEST_F(BasicMainWindowTest, ArrivedRequestIsReadWithoutQuotesAndProcessed) {
  lib_.script({.sharedRequest = u"\"Zelk://download/a=1\""});
  arrive();
  EXPECT_EQ(lib_.record().log, (Lines{"接收到URL协议", "Zelk://download/a=1"}));
}

TEST_F(BasicMainWindowTest, UnreadableRequestIsDroppedAndTheWindowGoesOn) {
  lib_.script({.raiseInReadRequest = true});
  arrive();
  EXPECT_EQ(lib_.record().log, Lines{"接收到URL协议"});
  lib_.script({.sharedRequest = u"Zelk://download/b=2"});
  arrive();
  EXPECT_EQ(lib_.record().log, (Lines{"接收到URL协议", "接收到URL协议", "Zelk://download/b=2"}));
}

TEST_F(BasicMainWindowTest, OtherMessagesAreIgnored) {
  lib_.script({.sharedRequest = u"Zelk://download/a=1"});
  loop_.post(window().window(), WM_URL_PROTOCOL_ARRIVED + 1);
  ASSERT_TRUE(loop_.waitIdle(10000));
  EXPECT_TRUE(lib_.record().log.empty());
}

TEST_F(BasicMainWindowTest, ShowingTheWindowStartsTheUpdateCheck) {
  lib_.script({.checkNeedUpdateResult = 1});
  window().CenterAndShow();
  ASSERT_TRUE(loop_.waitIdle(10000));
  EXPECT_TRUE(window().updateCheckState().updateFound);
  EXPECT_EQ(lib_.record().checkNeedUpdateDirectory, dir_.path());
  EXPECT_EQ(launcher_.requests().size(), 1u);
}

}  // namespace
}  // namespace shell
