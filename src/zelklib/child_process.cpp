#include "zelklib/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace zelklib {
namespace {

constexpr std::size_t kMaxOutputBytes = 1u << 20;

bool isExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Releases spawn attributes and file actions on every path.
struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

}  // namespace

std::optional<std::string> FindOnPath(const std::string& name, const std::string& pathValue) {
  if (name.empty() || name.find('/') != std::string::npos) return std::nullopt;
  std::size_t start = 0;
  while (start <= pathValue.size()) {
    std::size_t end = pathValue.find(':', start);
    if (end == std::string::npos) end = pathValue.size();
    const std::string folder = pathValue.substr(start, end - start);
    start = end + 1;
    if (folder.empty()) continue;  // an empty entry would mean the working folder: not trusted
    const std::string candidate = folder + "/" + name;
    if (isExecutableFile(candidate)) return candidate;
  }
  return std::nullopt;
}

std::optional<std::string> FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  return FindOnPath(name, path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin");
}

std::optional<ProgramOutcome> RunProgram(const std::string& program,
                                         const std::vector<std::string>& arguments,
                                         const std::string& workingDirectory, bool captureOutput) {
  int pipeFds[2] = {-1, -1};
  if (captureOutput && pipe2(pipeFds, O_CLOEXEC) != 0) return std::nullopt;
  SpawnSetup setup;
  posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
  if (captureOutput) {
    posix_spawn_file_actions_adddup2(&setup.actions, pipeFds[1], 1);
  } else {
    posix_spawn_file_actions_addopen(&setup.actions, 1, "/dev/null", O_WRONLY, 0);
  }
  if (!workingDirectory.empty()) {
    posix_spawn_file_actions_addchdir_np(&setup.actions, workingDirectory.c_str());
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc =
      posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(), environ);
  if (captureOutput) close(pipeFds[1]);
  if (rc != 0) {
    if (captureOutput) close(pipeFds[0]);
    return std::nullopt;
  }
  ProgramOutcome outcome;
  if (captureOutput) {
    char buffer[4096];
    while (true) {
      const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      if (outcome.output.size() < kMaxOutputBytes)
        outcome.output.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return std::nullopt;
  }
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

}  // namespace zelklib
