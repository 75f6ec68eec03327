#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/process.h"
#include "platform/shell_open.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

TEST(CommandLine, ArgumentsAreJoinedWithALeadingDoubleDashDropped) {
  const char* withDash[] = {"Zelk", "--", "\"Zelk://download/a=1\""};
  EXPECT_EQ(JoinCommandLine(3, withDash), "\"Zelk://download/a=1\"");
  const char* plain[] = {"Zelk", "a", "b c", "--x"};
  EXPECT_EQ(JoinCommandLine(4, plain), "a b c --x");
  const char* none[] = {"Zelk"};
  EXPECT_EQ(JoinCommandLine(1, none), "");
}

TEST(ShellParameters, SplitLikeACommandLine) {
  EXPECT_EQ(SplitParameters("1"), (std::vector<std::string>{"1"}));
  EXPECT_EQ(SplitParameters(""), (std::vector<std::string>{}));
  EXPECT_EQ(SplitParameters(" a  \"b c\" \"\" d"), (std::vector<std::string>{"a", "b c", "", "d"}));
}

TEST(Processes, ADetachedProgramRunsInItsFolderAndIsFoundByFileName) {
  testing_support::TempDir dir;
  const std::string script = dir.write("zelk-probe-sleeper", "#!/bin/sh\npwd > where\nexec sleep 5\n");
  chmod(script.c_str(), 0755);
  ASSERT_TRUE(StartDetachedProcess(script, {}, dir.path()));
  bool found = false;
  for (int i = 0; i < 200 && !found; ++i) {
    found = IsProgramRunning("sleep") && dir.read("where") == dir.path() + "\n";
    if (!found) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(found);
  EXPECT_FALSE(IsProgramRunning("zelk-no-such-program"));
  EXPECT_FALSE(StartDetachedProcess(dir.file("missing"), {}, dir.path()));
}

TEST(Shell, RecordOnlyModeKeepsRequestsInOrderWithoutRunningThem) {
  ShellLauncher shell(true);
  EXPECT_TRUE(shell.open({"open", "http://127.0.0.1/help/?ref=zelk", "", ""}));
  EXPECT_TRUE(shell.open({"open", "/tmp", "", ""}));
  EXPECT_FALSE(shell.open({"open", "", "", ""}));
  const auto requests = shell.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].target, "http://127.0.0.1/help/?ref=zelk");
  EXPECT_EQ(requests[1].verb, "open");
}

}  // namespace
}  // namespace platform
