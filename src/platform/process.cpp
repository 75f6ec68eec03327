#include "platform/process.h"

#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string_view>

#include "platform/paths.h"

extern char** environ;

namespace platform {
namespace {

std::string executableName(int pid) {
  char buffer[PATH_MAX];
  const std::string link = "/proc/" + std::to_string(pid) + "/exe";
  ssize_t n = readlink(link.c_str(), buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  std::string path(buffer, static_cast<std::size_t>(n));
  // A program file replaced while it runs (an update) reads "<path> (deleted)".
  constexpr std::string_view kDeleted = " (deleted)";
  if (path.size() > kDeleted.size() && path.ends_with(kDeleted))
    path.resize(path.size() - kDeleted.size());
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ownedByCurrentUser(int pid) {
  struct stat info {};
  const std::string dir = "/proc/" + std::to_string(pid);
  return stat(dir.c_str(), &info) == 0 && info.st_uid == getuid();
}

}  // namespace

std::vector<int> FindProcessesByFileName(const std::string& fileName) {
  std::vector<int> found;
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return found;
  const int self = getpid();
  while (dirent* entry = readdir(proc)) {
    char* end = nullptr;
    const long pid = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || pid == self) continue;
    if (!ownedByCurrentUser(static_cast<int>(pid))) continue;
    if (executableName(static_cast<int>(pid)) == fileName) found.push_back(static_cast<int>(pid));
  }
  closedir(proc);
  return found;
}

std::optional<std::string> ProcessEnvironmentValue(int pid, const std::string& name) {
  std::string environment;
  if (!ReadWholeFile("/proc/" + std::to_string(pid) + "/environ", environment)) return std::nullopt;
  const std::string prefix = name + "=";
  std::size_t at = 0;
  while (at < environment.size()) {
    std::size_t end = environment.find('\0', at);
    if (end == std::string::npos) end = environment.size();
    const std::string_view entry(environment.data() + at, end - at);
    if (entry.starts_with(prefix)) return std::string(entry.substr(prefix.size()));
    at = end + 1;
  }
  return std::nullopt;
}

std::vector<int> FindSessionProcessesByFileName(const std::string& fileName) {
  const char* own = std::getenv("XDG_RUNTIME_DIR");
  const std::optional<std::string> ours =
      own != nullptr ? std::optional<std::string>(own) : std::nullopt;
  std::vector<int> found;
  for (const int pid : FindProcessesByFileName(fileName)) {
    if (ProcessEnvironmentValue(pid, "XDG_RUNTIME_DIR") == ours) found.push_back(pid);
  }
  return found;
}

bool IsProgramRunning(const std::string& fileName) {
  return !FindProcessesByFileName(fileName).empty();
}

bool StartDetachedProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& workingDirectory) {
  // Fork twice so the program is adopted by init and never left as our zombie.
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    setsid();
    const pid_t grandchild = fork();
    if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
    if (!workingDirectory.empty() && chdir(workingDirectory.c_str()) != 0) _exit(127);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execve(program.c_str(), argv.data(), environ);
    _exit(127);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
  return access(program.c_str(), X_OK) == 0;
}

std::string JoinCommandLine(int argc, const char* const* argv) {
  std::string line;
  int first = 1;
  if (argc > 1 && std::string_view(argv[1]) == "--") first = 2;
  for (int i = first; i < argc; ++i) {
    if (i > first) line += ' ';
    line += argv[i];
  }
  return line;
}

}  // namespace platform
