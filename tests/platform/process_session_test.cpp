#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/process.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

// A copy of sleep under a name of its own, started with the given runtime folder (or none).
class SleeperProcess {
 public:
  SleeperProcess(const std::string& program, const char* runtimeDir) {
    std::vector<std::string> environment = {"PATH=/usr/bin:/bin"};
    if (runtimeDir != nullptr) environment.push_back(std::string("XDG_RUNTIME_DIR=") + runtimeDir);
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string seconds = "30";
    char* argv[] = {const_cast<char*>(program.c_str()), seconds.data(), nullptr};
    if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) pid_ = -1;
  }
  ~SleeperProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  int pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

// Waits (bounded) until the child runs the program and its environment is in place: during
// exec the new program's file shows a moment before its environment does.
bool waitUntilRunning(const std::string& name, int pid) {
  for (int i = 0; i < 500; ++i) {
    const auto found = FindProcessesByFileName(name);
    if (std::find(found.begin(), found.end(), pid) != found.end() &&
        ProcessEnvironmentValue(pid, "PATH").has_value()) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(ProcessSession, OnlyProcessesWithOurRuntimeFolderBelongToOurSession) {
  testing_support::TempDir dir;
  const std::string name = "zelk-session-probe-" + std::to_string(getpid());
  const std::string program = dir.file(name);
  std::filesystem::copy_file("/bin/sleep", program);
  const std::string mine = dir.file("run-a");
  const std::string other = dir.file("run-b");

  SleeperProcess same(program, mine.c_str());
  SleeperProcess different(program, other.c_str());
  SleeperProcess without(program, nullptr);
  ASSERT_TRUE(waitUntilRunning(name, same.pid()));
  ASSERT_TRUE(waitUntilRunning(name, different.pid()));
  ASSERT_TRUE(waitUntilRunning(name, without.pid()));

  EXPECT_EQ(ProcessEnvironmentValue(same.pid(), "XDG_RUNTIME_DIR"), mine);
  EXPECT_EQ(ProcessEnvironmentValue(without.pid(), "XDG_RUNTIME_DIR"), std::nullopt);
  EXPECT_EQ(ProcessEnvironmentValue(same.pid(), "XDG_RUNTIME"), std::nullopt) << "whole names only";

  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string savedValue = saved != nullptr ? saved : "";
  setenv("XDG_RUNTIME_DIR", mine.c_str(), 1);
  EXPECT_EQ(FindSessionProcessesByFileName(name), std::vector<int>{same.pid()});
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(FindSessionProcessesByFileName(name), std::vector<int>{without.pid()});
  setenv("XDG_RUNTIME_DIR", dir.file("run-c").c_str(), 1);
  EXPECT_TRUE(FindSessionProcessesByFileName(name).empty());
  if (saved != nullptr)
    setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
  else
    unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace platform
