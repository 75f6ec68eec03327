#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// True when a process of the current user other than this one runs the program file `fileName`
// (compared with the file name of its executable).
bool IsProgramRunning(const std::string& fileName);
// Process ids of the current user's processes running `fileName`, this process excluded.
std::vector<int> FindProcessesByFileName(const std::string& fileName);

// The value of one variable in the environment another process started with
// (/proc/<pid>/environ); nullopt when it is unset there or cannot be read. A process in the
// middle of exec reads for a moment as having no environment.
std::optional<std::string> ProcessEnvironmentValue(int pid, const std::string& name);
// Processes of this session among FindProcessesByFileName: those whose XDG_RUNTIME_DIR equals
// ours, where "unset" equals "unset". Parallel test runs with their own runtime folders, and
// other desktop sessions of the same user, do not see each other.
std::vector<int> FindSessionProcessesByFileName(const std::string& fileName);

// Starts a program detached from this process (it is not reaped as our child and outlives us).
// Returns false when it could not be started.
bool StartDetachedProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& workingDirectory);

// The whole command line of this process as the client reads it: the arguments after the
// program joined by single spaces, with a leading "--" dropped.
std::string JoinCommandLine(int argc, const char* const* argv);

}  // namespace platform
