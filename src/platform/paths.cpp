#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <fstream>
#include <sstream>

namespace platform {

std::string ProgramPath() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  return std::string(buffer, static_cast<std::size_t>(n));
}

std::string ProgramDirectory() {
  const std::string path = ProgramPath();
  const auto slash = path.rfind(kPathSeparator);
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string ProgramFileName() {
  const std::string path = ProgramPath();
  const auto slash = path.rfind(kPathSeparator);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string NativeSeparators(std::string_view path) {
  std::string result(path);
  for (char& c : result) {
    if (c == '\\') c = kPathSeparator;
  }
  return result;
}

std::string JoinPath(std::string_view folder, std::string_view relative) {
  std::string rel = NativeSeparators(relative);
  while (!rel.empty() && rel.front() == kPathSeparator) rel.erase(0, 1);
  std::string result = NativeSeparators(folder);
  if (result.empty() || result.back() != kPathSeparator) result += kPathSeparator;
  return result + rel;
}

bool WriteFileAtomically(const std::string& path, std::string_view content, unsigned mode) {
  const auto slash = path.rfind(kPathSeparator);
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  std::string temp = folder + "/.tmp.XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = fchmod(fd, mode) == 0;
  std::size_t written = 0;
  while (ok && written < content.size()) {
    const ssize_t n = write(fd, content.data() + written, content.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else written += static_cast<std::size_t>(n);
  }
  ok = ok && fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  ok = ok && rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable.
  const int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dirFd >= 0) {
    fsync(dirFd);
    close(dirFd);
  }
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return false;
  content = buffer.str();
  return true;
}

}  // namespace platform
