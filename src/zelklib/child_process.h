#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zelklib {

// The first executable file of that name in the folders of a PATH value; nullopt when none.
std::optional<std::string> FindOnPath(const std::string& name, const std::string& pathValue);
// The same with this process's PATH.
std::optional<std::string> FindProgram(const std::string& name);

struct ProgramOutcome {
  int exitCode = -1;   // -1 when it ended by a signal
  std::string output;  // standard output, when asked for
};

// Runs a program and waits for its end. Standard input is /dev/null; standard output is
// collected when `captureOutput` is set (bounded to 1 MiB), else it goes to /dev/null.
// nullopt when it could not be started.
std::optional<ProgramOutcome> RunProgram(const std::string& program,
                                         const std::vector<std::string>& arguments,
                                         const std::string& workingDirectory, bool captureOutput);

}  // namespace zelklib
