#include "updater/update_installer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/update_mark.h"
#include "scripted_zelk_lib.h"
#include "support/temp_dir.h"

namespace updater {
namespace {

namespace fs = std::filesystem;
using core_testing::ScriptedZelkLib;

class UpdateInstallerTest : public ::testing::Test {
 protected:
  InstallResult install() {
    UpdateInstaller installer(binding_, clock_, launcher_, dir_.path(), [this] {
      ++polls_;
      return polls_ <= clientPolls_;
    });
    return installer.Run();
  }
  std::string firstLine() const { return dir_.read("judgeUpdate.txt"); }

  testing_support::TempDir dir_;
  ScriptedZelkLib lib_;
  core::ZelkLibBinding binding_ = lib_.binding();
  platform::ManualClock clock_;
  platform::ShellLauncher launcher_{true};
  int clientPolls_ = 0;  // how many looks still find the client
  int polls_ = 0;
};

TEST_F(UpdateInstallerTest, WaitsForTheClientThenUnpacksMarksAndRestartsIt) {
  dir_.write("judgeUpdate.txt", "1\n");
  dir_.write("TempPath/update.zip", "package");
  clientPolls_ = 3;
  EXPECT_EQ(install(), InstallResult::Installed);
  EXPECT_EQ(clock_.sleptMs(), 3 * UpdateInstaller::kClientPollMs);
  EXPECT_EQ(lib_.record().unzipped,
            std::vector<std::string>{dir_.file("TempPath/update.zip") + " -> " + dir_.path()});
  EXPECT_EQ(firstLine(), "2\n");
  EXPECT_FALSE(fs::exists(dir_.file("TempPath/update.zip")));
  const auto started = launcher_.requests();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].target, dir_.file("Zelk"));
  EXPECT_EQ(started[0].parameters, "");
  EXPECT_EQ(started[0].directory, dir_.path());
}

TEST_F(UpdateInstallerTest, ClientThatDoesNotEndLeavesEverythingAsItWas) {
  dir_.write("judgeUpdate.txt", "1\n");
  dir_.write("TempPath/update.zip", "package");
  clientPolls_ = 1000000;
  EXPECT_EQ(install(), InstallResult::ClientStillRuns);
  EXPECT_EQ(clock_.sleptMs(), UpdateInstaller::kClientExitTimeoutMs);
  EXPECT_TRUE(lib_.record().unzipped.empty());
  EXPECT_EQ(firstLine(), "1\n");
  EXPECT_TRUE(fs::exists(dir_.file("TempPath/update.zip")));
  EXPECT_TRUE(launcher_.requests().empty());
}

TEST_F(UpdateInstallerTest, MissingPackageClearsTheMarkAndStartsTheClient) {
  dir_.write("judgeUpdate.txt", "1\n");
  EXPECT_EQ(install(), InstallResult::NothingWaiting);
  EXPECT_FALSE(core::IsUpdatePending(dir_.path()));
  EXPECT_TRUE(lib_.record().unzipped.empty());
  EXPECT_EQ(launcher_.requests().size(), 1u);
}

TEST_F(UpdateInstallerTest, RefusedPackageIsDroppedSoTheClientIsNotSentBackEveryStart) {
  for (const int answer : {0, 2}) {
    dir_.write("judgeUpdate.txt", "1\n");
    dir_.write("TempPath/update.zip", "hostile");
    lib_.script({.unZipResult = answer});
    EXPECT_EQ(install(), InstallResult::Failed) << answer;
    EXPECT_FALSE(core::IsUpdatePending(dir_.path()));
    EXPECT_FALSE(core::IsIntroducePending(dir_.path()));
    EXPECT_FALSE(fs::exists(dir_.file("TempPath/update.zip")));
  }
  EXPECT_EQ(launcher_.requests().size(), 2u);
}

}  // namespace
}  // namespace updater
