#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/paths.h"
#include "support/temp_dir.h"
#include "zelklib/dotnet_frameworks.h"
#include "zelklib/system_facts.h"

namespace zelklib {
namespace {

namespace fs = std::filesystem;

void makeProgram(const testing_support::TempDir& dir, const std::string& relative) {
  chmod(dir.write(relative, "#!/bin/sh\nexit 0\n").c_str(), 0755);
}

TEST(DotNet, MonoProfilesDecideWhichFrameworkVersionsRun) {
  testing_support::TempDir dir;
  EXPECT_EQ(DescribeFrameworks(DetectFrameworks(dir.file("empty"))), "");

  makeProgram(dir, "mono45/bin/mono");
  fs::create_directories(dir.file("mono45/lib/mono/4.5"));
  fs::create_directories(dir.file("mono45/lib/mono/2.0-api"));
  const auto full = DetectFrameworks(dir.file("nothing") + ":" + dir.file("mono45/bin"));
  EXPECT_EQ(full.monoProfile, "4.5");
  EXPECT_FALSE(HasFramework(full, DotNetFramework::V11));
  for (const auto version :
       {DotNetFramework::V20, DotNetFramework::V35, DotNetFramework::V40, DotNetFramework::V45}) {
    EXPECT_TRUE(HasFramework(full, version));
  }
  EXPECT_EQ(DescribeFrameworks(full), "v2.0,v3.0,v3.5,v4.0,v4.5");

  makeProgram(dir, "mono40/bin/mono");
  fs::create_directories(dir.file("mono40/lib/mono/4.0"));
  const auto older = DetectFrameworks(dir.file("mono40/bin"));
  EXPECT_TRUE(HasFramework(older, DotNetFramework::V40));
  EXPECT_FALSE(HasFramework(older, DotNetFramework::V45));

  makeProgram(dir, "monoless/bin/mono");  // a mono without any profile runs nothing
  EXPECT_EQ(DescribeFrameworks(DetectFrameworks(dir.file("monoless/bin"))), "");
}

TEST(DotNet, TheNewDotnetIsListedButRunsNoFrameworkApp) {
  testing_support::TempDir dir;
  makeProgram(dir, "dotnet/dotnet");
  fs::create_directories(dir.file("dotnet/shared/Microsoft.NETCore.App/8.0.1"));
  fs::create_directories(dir.file("dotnet/shared/Microsoft.NETCore.App/6.0.25"));
  fs::create_directories(dir.file("bin"));
  fs::create_symlink(dir.file("dotnet/dotnet"), dir.file("bin/dotnet"));
  const auto inventory = DetectFrameworks(dir.file("bin"));
  EXPECT_EQ(DescribeFrameworks(inventory), ".NET 6.0.25,.NET 8.0.1");
  EXPECT_FALSE(HasFramework(inventory, DotNetFramework::V40));
}

TEST(DotNet, TheInstallerRunsSilentlyInItsFolderAndItsExitCodeCounts) {
  testing_support::TempDir dir;
  const std::string installer =
      dir.write("Downloads/Platform/dotNetFx40_Full_x86_x64.exe",
                "#!/bin/sh\necho \"$@\" > args\npwd > where\nexit \"${EXIT_CODE:-0}\"\n");
  chmod(installer.c_str(), 0755);
  const std::string folder = dir.file("Downloads/Platform");
  EXPECT_TRUE(RunSilentInstaller(folder, installer));
  EXPECT_EQ(dir.read("Downloads/Platform/args"), "/q /norestart\n");
  EXPECT_EQ(dir.read("Downloads/Platform/where"), folder + "\n");
  setenv("EXIT_CODE", "1603", 1);
  EXPECT_FALSE(RunSilentInstaller(folder, installer));
  unsetenv("EXIT_CODE");
  EXPECT_FALSE(RunSilentInstaller(folder, dir.file("missing.exe")));
  const std::string notRunnable =
      dir.write("Downloads/Platform/plain.exe", "MZ not for this system");
  EXPECT_FALSE(RunSilentInstaller(folder, notRunnable));
}

TEST(SystemFacts, NamesAndAddressesInTheirDocumentedForms) {
  EXPECT_EQ(PrettyNameFromOsRelease(
                "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
            "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(PrettyNameFromOsRelease("PRETTY_NAME=Plain\n"), "Plain");
  EXPECT_EQ(PrettyNameFromOsRelease("NAME=x\n"), "");
  const unsigned char mac[6] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0xff};
  EXPECT_EQ(FormatMacAddress(mac, 6), "00-1A-2B-3C-4D-FF");

  std::string hostname;
  ASSERT_TRUE(platform::ReadWholeFile("/proc/sys/kernel/hostname", hostname));
  EXPECT_EQ(ComputerName() + "\n", hostname);
  const std::string os = OperatingSystemName();
  EXPECT_NE(os.find("Linux"), std::string::npos) << os;
  const std::string address = FirstMacAddress();
  if (!address.empty()) {
    EXPECT_EQ(address.size(), 17u) << address;
  }
  EXPECT_EQ(WebEngineVersion().find_first_not_of("0123456789."), std::string::npos);
  EXPECT_FALSE(WebEngineVersion().empty());
}

}  // namespace
}  // namespace zelklib
