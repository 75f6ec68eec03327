#include "core/updater_launcher.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "scripted_zelk_lib.h"
#include "support/temp_dir.h"

namespace core {
namespace {

namespace fs = std::filesystem;
using core_testing::ScriptedZelkLib;

class UpdaterLauncherTest : public ::testing::Test {
 protected:
  UpdaterLauncher updater() { return UpdaterLauncher(binding_, launcher_, dir_.path()); }
  bool exists(const std::string& relative) const { return fs::exists(dir_.file(relative)); }

  testing_support::TempDir dir_;
  ScriptedZelkLib lib_;
  ZelkLibBinding binding_ = lib_.binding();
  platform::ShellLauncher launcher_{true};
};

TEST_F(UpdaterLauncherTest, StartsTheUpdaterBesideTheClientInTheProgramDirectory) {
  updater().StartUpdater(true, "1");
  const auto requests = launcher_.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].verb, "open");
  EXPECT_EQ(requests[0].target, dir_.file("ZelkUpdater"));
  EXPECT_EQ(requests[0].parameters, "1");
  EXPECT_EQ(requests[0].directory, dir_.path());
}

TEST_F(UpdaterLauncherTest, RunningUpdaterIsSkippedOnlyWhenAsked) {
  lib_.script({.runningProcesses = {"ZelkUpdater"}});
  updater().StartUpdater(true, "");
  EXPECT_TRUE(launcher_.requests().empty());
  updater().StartUpdater(false, "");
  EXPECT_EQ(launcher_.requests().size(), 1u);
}

TEST_F(UpdaterLauncherTest, NothingWaitingChangesNothing) {
  dir_.write("ZelkUpdater", "current");
  updater().InstallWaitingUpdater();
  EXPECT_EQ(dir_.read("ZelkUpdater"), "current");
  EXPECT_FALSE(exists("ZelkUpdater.old"));
}

TEST_F(UpdaterLauncherTest, WaitingUpdaterReplacesTheCurrentOneWhichIsKeptAsOld) {
  dir_.write("ZelkUpdater", "current");
  dir_.write("ZelkUpdater.old", "older still");
  const std::string waiting = dir_.write("TempPath/ZelkUpdater", "new");
  fs::permissions(waiting, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  updater().InstallWaitingUpdater();
  EXPECT_EQ(dir_.read("ZelkUpdater"), "new");
  EXPECT_EQ(dir_.read("ZelkUpdater.old"), "current");
  EXPECT_FALSE(exists("TempPath/ZelkUpdater"));
  EXPECT_FALSE(exists("ZelkUpdater.new"));
  // Still a program.
  EXPECT_NE(fs::status(dir_.file("ZelkUpdater")).permissions() & fs::perms::owner_exec,
            fs::perms::none);
}

TEST_F(UpdaterLauncherTest, WaitingUpdaterWithoutACurrentOneLeavesNoOld) {
  dir_.write("TempPath/ZelkUpdater", "new");
  updater().InstallWaitingUpdater();
  EXPECT_EQ(dir_.read("ZelkUpdater"), "new");
  EXPECT_FALSE(exists("ZelkUpdater.old"));
  EXPECT_FALSE(exists("TempPath/ZelkUpdater"));
}

TEST_F(UpdaterLauncherTest, WaitingUpdaterIsKeptWhenItCannotBePutInPlace) {
  // A folder where the updater belongs cannot be replaced by a file.
  dir_.write("ZelkUpdater/blocker", "x");
  dir_.write("TempPath/ZelkUpdater", "new");
  updater().InstallWaitingUpdater();
  EXPECT_EQ(dir_.read("TempPath/ZelkUpdater"), "new");
  EXPECT_TRUE(fs::is_directory(dir_.file("ZelkUpdater")));
  EXPECT_FALSE(exists("ZelkUpdater.new"));
}

}  // namespace
}  // namespace core
