#include "platform/user_data_directory.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/paths.h"

namespace platform {
namespace {

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  const passwd* entry = getpwuid(getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
}

}  // namespace

bool IsInstalledLayout(const std::string& programDirectory) {
  struct stat info {};
  return !programDirectory.empty() &&
         stat(JoinPath(programDirectory, kInstalledMarkerFileName).c_str(), &info) == 0 &&
         S_ISREG(info.st_mode);
}

std::string XdgUserDataDirectory() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  // The convention ignores a relative value.
  const std::string base = xdg != nullptr && xdg[0] == '/'
                               ? std::string(xdg)
                               : JoinPath(HomeDirectory(), ".local/share");
  return JoinPath(base, kUserDataFolderName);
}

std::string UserDataDirectory(const std::string& programDirectory) {
  if (!IsInstalledLayout(programDirectory)) return programDirectory;
  const std::string folder = XdgUserDataDirectory();
  std::error_code error;
  if (std::filesystem::create_directories(folder, error)) {
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, error);
  }
  return folder;
}

}  // namespace platform
