#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <map>
#include <thread>

extern char** environ;

namespace core_testing {
namespace {

ChildExit exitOf(int status) {
  if (WIFEXITED(status)) return {true, WEXITSTATUS(status)};
  if (WIFSIGNALED(status)) return {false, WTERMSIG(status)};
  return {};
}

}  // namespace

int Start(const std::string& program, const std::vector<std::string>& arguments,
          const std::string& workingDirectory, const std::string& outputPath,
          const std::vector<std::string>& environment) {
  // This process's environment with the given entries added; a later entry of a name wins.
  std::map<std::string, std::string> variables;
  const auto add = [&variables](const std::string& entry) {
    const auto eq = entry.find('=');
    if (eq != std::string::npos) variables[entry.substr(0, eq)] = entry;
  };
  for (char** entry = environ; *entry != nullptr; ++entry) add(*entry);
  for (const std::string& entry : environment) add(entry);
  std::vector<std::string> env;
  for (const auto& [name, entry] : variables) env.push_back(entry);
  std::vector<char*> envp;
  for (auto& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);

  std::vector<std::string> args{program};
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!outputPath.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, outputPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
  }
  if (!workingDirectory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  }
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

ChildExit WaitForEnd(int pid, int timeoutMs) {
  if (pid <= 0) return {};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return exitOf(status);
    if (done < 0) return {};
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return {};
    }
    // Polling another process with a bounded deadline.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

ChildExit RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& workingDirectory, const std::string& outputPath,
                   const std::vector<std::string>& environment) {
  return WaitForEnd(Start(program, arguments, workingDirectory, outputPath, environment), 60000);
}

}  // namespace core_testing
