#include "platform/shell_open.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/process.h"

namespace platform {
namespace {

bool isExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string findOpener() {
  for (const char* candidate : {"/usr/bin/xdg-open", "/usr/bin/gio"}) {
    if (access(candidate, X_OK) == 0) return candidate;
  }
  return {};
}

}  // namespace

ShellLauncher::ShellLauncher(bool recordOnly)
    : recordOnly_(recordOnly), programsOnly_(ProgramsOnlyFromEnvironment()) {}

bool ShellLauncher::RecordOnlyFromEnvironment() {
  const char* mode = std::getenv("ZELK_SHELL_OPEN");
  return mode != nullptr && std::strcmp(mode, "record") == 0;
}

bool ShellLauncher::ProgramsOnlyFromEnvironment() {
  const char* mode = std::getenv("ZELK_SHELL_OPEN");
  return mode != nullptr && std::strcmp(mode, "programs") == 0;
}

bool ShellLauncher::open(const ShellOpenRequest& request) {
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
  }
  if (recordOnly_ || request.target.empty()) return !request.target.empty();
  if (isExecutableFile(request.target)) {
    return StartDetachedProcess(request.target, SplitParameters(request.parameters),
                                request.directory);
  }
  if (programsOnly_) return true;
  const std::string opener = findOpener();
  if (opener.empty()) return false;
  std::vector<std::string> arguments;
  if (opener.ends_with("gio")) arguments.push_back("open");
  arguments.push_back(request.target);
  return StartDetachedProcess(opener, arguments, request.directory);
}

std::vector<ShellOpenRequest> ShellLauncher::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<std::string> SplitParameters(const std::string& parameters) {
  std::vector<std::string> result;
  std::string current;
  bool quoted = false;
  bool any = false;
  for (const char c : parameters) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) result.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) result.push_back(current);
  return result;
}

}  // namespace platform
