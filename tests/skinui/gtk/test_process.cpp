#include "test_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace skinui_gtk_test {

namespace {

// Everything exec needs, built before the fork (a threaded parent's child may only make
// async-signal-safe calls).
struct ExecArguments {
  std::vector<std::string> argvText;
  std::vector<std::string> envText;
  std::vector<char*> argv;
  std::vector<char*> envp;

  ExecArguments(const std::vector<std::string>& arguments, const std::vector<std::string>& unset,
                const std::vector<std::string>& set)
      : argvText(arguments) {
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      const std::string name = entry.substr(0, entry.find('='));
      bool drop = false;
      for (const auto& u : unset) drop = drop || u == name;
      for (const auto& s : set) drop = drop || s.substr(0, s.find('=')) == name;
      if (!drop) envText.push_back(entry);
    }
    envText.insert(envText.end(), set.begin(), set.end());
    for (auto& a : argvText) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : envText) envp.push_back(e.data());
    envp.push_back(nullptr);
  }
};

}  // namespace

int RunProgram(const std::vector<std::string>& argv, const std::string& display,
               std::string* output) {
  int fds[2] = {-1, -1};
  if (output != nullptr && ::pipe2(fds, O_CLOEXEC) != 0) return -1;
  ExecArguments exec(argv, {},
                     display.empty() ? std::vector<std::string>{}
                                     : std::vector<std::string>{"DISPLAY=" + display});
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (output != nullptr) ::dup2(fds[1], 1);
    ::execvpe(exec.argv[0], exec.argv.data(), exec.envp.data());
    ::_exit(127);
  }
  if (output != nullptr) {
    ::close(fds[1]);
    char buffer[512];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) output->append(buffer, n);
    ::close(fds[0]);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Xdo(const std::vector<std::string>& arguments, const std::string& display) {
  std::vector<std::string> argv = {"xdotool"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return RunProgram(argv, display) == 0;
}

ChildProgram::~ChildProgram() {
  Stop();
}

bool ChildProgram::Start(const std::vector<std::string>& argv,
                         const std::vector<std::string>& unset, const std::vector<std::string>& set,
                         const std::string& outputPath) {
  ExecArguments exec(argv, unset, set);
  const int out = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (out < 0) return false;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out, 1);
    ::dup2(out, 2);
    ::execvpe(exec.argv[0], exec.argv.data(), exec.envp.data());
    ::_exit(127);
  }
  ::close(out);
  if (pid < 0) return false;
  pid_ = pid;
  return true;
}

bool ChildProgram::WaitForExit(int timeoutMs, int& exitCode) {
  if (pid_ <= 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void ChildProgram::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int code = 0;
  if (!WaitForExit(10000, code)) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  pid_ = -1;
}

}  // namespace skinui_gtk_test
