#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace skinui_gtk_test {

// Runs a program to its end with DISPLAY set to `display` (empty: as this process has it);
// its exit status, or -1. Its standard output goes to `output` when given.
int RunProgram(const std::vector<std::string>& argv, const std::string& display = "",
               std::string* output = nullptr);

// Runs xdotool with the arguments; true when it succeeded.
bool Xdo(const std::vector<std::string>& arguments, const std::string& display = "");

// A program started in the background with this process's environment, less the variables
// named in `unset`, plus `set` ("NAME=value"); its output and errors go to `outputPath`.
class ChildProgram {
 public:
  ChildProgram() = default;
  ~ChildProgram();
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& unset,
             const std::vector<std::string>& set, const std::string& outputPath);
  // Waits (real time, bounded) for the end; true when it ended. `exitCode` is the status of a
  // normal exit, -1 for an end by a signal.
  bool WaitForExit(int timeoutMs, int& exitCode);
  // Ends it (SIGTERM, then SIGKILL) unless it has ended.
  void Stop();
  bool running() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

}  // namespace skinui_gtk_test
