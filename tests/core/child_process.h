#pragma once

#include <string>
#include <vector>

namespace core_testing {

// How a child process ended.
struct ChildExit {
  bool exited = false;  // ended by exit (else by a signal)
  int code = -1;        // exit code, or the signal number
};

// Runs a program to its end with the given arguments, in the given working directory, standard
// error (and output) written to `outputPath` when it is not empty. `environment` entries
// ("NAME=value") are added to this process's environment; a later entry of the same name wins.
ChildExit RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& workingDirectory = "", const std::string& outputPath = "",
                   const std::vector<std::string>& environment = {});

// Starts a program and returns its process id without waiting (-1 on failure).
int Start(const std::string& program, const std::vector<std::string>& arguments,
          const std::string& workingDirectory = "", const std::string& outputPath = "",
          const std::vector<std::string>& environment = {});
// Waits for a started child; gives up after `timeoutMs` of real time (the child is then killed).
ChildExit WaitForEnd(int pid, int timeoutMs);

}  // namespace core_testing
