#include <dlfcn.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/dynamic_library.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

TEST(Paths, JoinPathUsesOneSeparatorAndConvertsBackslashes) {
  EXPECT_EQ(JoinPath("/opt/zelk", "Skin\\Zelk"), "/opt/zelk/Skin/Zelk");
  EXPECT_EQ(JoinPath("/opt/zelk/", "\\TempPath\\ZelkUpdater"), "/opt/zelk/TempPath/ZelkUpdater");
  EXPECT_EQ(JoinPath("/opt/zelk", "judgeUpdate.txt"), "/opt/zelk/judgeUpdate.txt");
  EXPECT_EQ(JoinPath("", "a"), "/a");
}

TEST(Paths, ProgramPathNamesThisTestProgram) {
  EXPECT_EQ(ProgramFileName(), "platform_tests");
  EXPECT_EQ(JoinPath(ProgramDirectory(), ProgramFileName()), ProgramPath());
}

TEST(Paths, AtomicWriteReplacesWholeFileWithGivenModeAndLeavesNoTemporary) {
  testing_support::TempDir dir;
  const std::string file = dir.file("settings.json");
  ASSERT_TRUE(WriteFileAtomically(file, "old", 0600));
  ASSERT_TRUE(WriteFileAtomically(file, "new content", 0600));
  std::string content;
  ASSERT_TRUE(ReadWholeFile(file, content));
  EXPECT_EQ(content, "new content");
  struct stat info {};
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_FALSE(WriteFileAtomically(dir.file("missing/x"), "y"));
  EXPECT_FALSE(ReadWholeFile(dir.file("nothing"), content));
  EXPECT_EQ(dir.read("settings.json"), "new content");
}

TEST(DynamicLibrary, LoadsByNameFindsSymbolsAndReportsMissingOnes) {
  EXPECT_EQ(SharedLibraryFileName("ZelkLib"), "libZelkLib.so");
  EXPECT_EQ(ExecutableFileName("Zelk"), "Zelk");
  auto libc = DynamicLibrary::open("libc.so.6");
  ASSERT_TRUE(libc.loaded());
  EXPECT_NE(libc.symbol("strlen"), nullptr);
  EXPECT_EQ(libc.symbol("NoSuchExport"), nullptr);
  auto missing = DynamicLibrary::open("libNoSuchLibrary.so");
  EXPECT_FALSE(missing.loaded());
  EXPECT_FALSE(missing.error().empty());
  EXPECT_EQ(missing.symbol("x"), nullptr);
  DynamicLibrary moved = std::move(libc);
  EXPECT_TRUE(moved.loaded());
}

// Code that runs threads of its own (a web engine) must stay mapped after its object goes.
TEST(DynamicLibrary, ALibraryLoadedForTheProcessStaysWhenItsObjectGoes) {
  constexpr const char* kName = "libsodium.so.23";  // installed, and not linked by this program
  const auto loadedNow = [&] {
    void* handle = dlopen(kName, RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) dlclose(handle);
    return handle != nullptr;
  };
  ASSERT_FALSE(loadedNow()) << "already loaded: the test would see nothing";
  ASSERT_TRUE(DynamicLibrary::open(kName).loaded());
  EXPECT_FALSE(loadedNow()) << "an object's library goes with it";
  ASSERT_TRUE(DynamicLibrary::open(kName, DynamicLibrary::Lifetime::Process).loaded());
  EXPECT_TRUE(loadedNow());
}

}  // namespace
}  // namespace platform
