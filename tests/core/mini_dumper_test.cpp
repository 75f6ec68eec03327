// The crash dump writer, watched from outside: a helper program installs it like the client and
// crashes on purpose in a copy placed in a fresh folder.

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <regex>

#include "child_process.h"
#include "support/temp_dir.h"

namespace core {
namespace {

namespace fs = std::filesystem;
using core_testing::ChildExit;

struct Dump {
  std::string name;
  long seconds = 0;
  std::string content;
};

class MiniDumperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(ZELK_CRASH_HELPER, program_);
    fs::permissions(program_, fs::perms::owner_all);
  }
  ChildExit run(const std::string& mode) {
    before_ = std::time(nullptr);
    const ChildExit exit = core_testing::RunToEnd(program_, {mode}, dir_.path(), output_);
    after_ = std::time(nullptr);
    return exit;
  }
  std::vector<Dump> dumps() const {
    static const std::regex kName(R"(crash_helper\.(\d+)\.dmp)");
    std::vector<Dump> found;
    for (const auto& entry : fs::directory_iterator(dir_.path())) {
      const std::string name = entry.path().filename().string();
      std::smatch match;
      if (!std::regex_match(name, match, kName) || !entry.is_regular_file()) continue;
      found.push_back({name, std::stol(match[1]), dir_.read(name)});
    }
    return found;
  }
  std::string output() const { return dir_.read("output.txt"); }
  // The one dump a crash must leave, named after a second within the run.
  Dump onlyDump() const {
    const auto all = dumps();
    EXPECT_EQ(all.size(), 1u);
    if (all.size() != 1) return {};
    EXPECT_GE(all[0].seconds, before_);
    EXPECT_LE(all[0].seconds, after_);
    return all[0];
  }

  testing_support::TempDir dir_;
  std::string program_ = dir_.file("crash_helper");
  std::string output_ = dir_.file("output.txt");
  long before_ = 0;
  long after_ = 0;
};

TEST_F(MiniDumperTest, InvalidWriteLeavesOneDumpAndEndsWithCodeZero) {
  const ChildExit exit = run("segv");
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.code, 0);
  const Dump dump = onlyDump();
  EXPECT_NE(dump.content.find("cause: SIGSEGV\n"), std::string::npos) << dump.content;
  EXPECT_NE(dump.content.find("signal: 11\n"), std::string::npos);
  EXPECT_NE(dump.content.find("fault address: 0x0\n"), std::string::npos);
  EXPECT_NE(dump.content.find("thread id: "), std::string::npos);
  EXPECT_NE(dump.content.find("backtrace:\n"), std::string::npos);
  EXPECT_NE(dump.content.find("writeThroughNull"), std::string::npos);  // the crashing frame
  EXPECT_NE(dump.content.find("memory map:\n"), std::string::npos);
  EXPECT_NE(dump.content.find("[stack]"), std::string::npos);
  EXPECT_EQ(output(), "");  // nothing to report when the dump was written
}

TEST_F(MiniDumperTest, EachFatalSignalIsCaught) {
  const std::pair<const char*, const char*> cases[] = {{"abort", "cause: SIGABRT\n"},
                                                       {"fpe", "cause: SIGFPE\n"},
                                                       {"overflow", "cause: SIGSEGV\n"},
                                                       {"worker-overflow", "cause: SIGSEGV\n"}};
  for (const auto& [mode, cause] : cases) {
    for (const auto& old : dumps()) fs::remove(dir_.file(old.name));
    const ChildExit exit = run(mode);
    EXPECT_TRUE(exit.exited) << mode;
    EXPECT_EQ(exit.code, 0) << mode;
    EXPECT_NE(onlyDump().content.find(cause), std::string::npos) << mode;
  }
}

TEST_F(MiniDumperTest, UncaughtExceptionIsDumpedWithItsText) {
  const ChildExit exit = run("terminate");
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.code, 0);
  const Dump dump = onlyDump();
  EXPECT_NE(dump.content.find("cause: std::terminate\n"), std::string::npos) << dump.content;
  EXPECT_NE(dump.content.find("what: nobody caught this\n"), std::string::npos);
}

TEST_F(MiniDumperTest, ThreadsCrashingTogetherLeaveOneDump) {
  for (int round = 0; round < 3; ++round) {
    for (const auto& old : dumps()) fs::remove(dir_.file(old.name));
    const ChildExit exit = run("threads");
    EXPECT_TRUE(exit.exited);
    EXPECT_EQ(exit.code, 0);
    EXPECT_NE(onlyDump().content.find("cause: SIGSEGV\n"), std::string::npos);
  }
}

TEST_F(MiniDumperTest, SecondWriterFailsItsAssertion) {
  const ChildExit exit = run("second");
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.code, 0);  // the first writer catches the failed assertion's abort
  EXPECT_NE(output().find("Assertion `!s_pMiniDumper' failed."), std::string::npos) << output();
  EXPECT_NE(onlyDump().content.find("cause: SIGABRT\n"), std::string::npos);
}

TEST_F(MiniDumperTest, NoCrashNoDump) {
  const ChildExit exit = run("none");
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.code, 3);
  EXPECT_TRUE(dumps().empty());
}

TEST_F(MiniDumperTest, DumpThatCannotBeCreatedIsReportedWithTheSystemError) {
  // Folders in the way of every name the crash could choose (writable folders do not stop
  // root, folders do).
  const long now = std::time(nullptr);
  for (long second = now - 1; second <= now + 30; ++second) {
    fs::create_directory(dir_.file("crash_helper." + std::to_string(second) + ".dmp"));
  }
  const ChildExit exit = run("segv");
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.code, 0);
  const std::regex kMessage("Failed to create the mini-dump file '" + dir_.path() +
                            R"(/crash_helper\.(\d+)\.dmp' \(error 21\)\n)");
  std::smatch match;
  const std::string text = output();
  ASSERT_TRUE(std::regex_match(text, match, kMessage)) << text;
  EXPECT_GE(std::stol(match[1]), before_);
  EXPECT_TRUE(dumps().empty());
}

}  // namespace
}  // namespace core
