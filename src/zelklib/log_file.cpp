#include "zelklib/log_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "zelklib/file_ops.h"

namespace zelklib {
namespace {

int openLog(const std::string& path) {
  return open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
}

// Renames a full log aside. Whoever holds the lock re-checks that the name still refers to the
// full file this descriptor has open: another writer may have rotated it a moment ago.
void rotateIfFull(const std::string& path, int fd, std::uint64_t rotateBytes) {
  if (flock(fd, LOCK_EX) != 0) return;
  struct stat opened {};
  struct stat named {};
  if (fstat(fd, &opened) == 0 && stat(path.c_str(), &named) == 0 && opened.st_ino == named.st_ino &&
      opened.st_dev == named.st_dev && static_cast<std::uint64_t>(named.st_size) >= rotateBytes) {
    std::rename(path.c_str(), (path + ".1").c_str());
  }
  flock(fd, LOCK_UN);
}

}  // namespace

std::string LogFilePath(const std::string& programDir) {
  return JoinFolder(JoinFolder(programDir, "Log"), "Zelk.log");
}

std::string FormatLogLine(const std::tm& localTime, int milliseconds, std::string_view text) {
  char stamp[96];  // room for any int the fields could hold
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d ",
                localTime.tm_year + 1900, localTime.tm_mon + 1, localTime.tm_mday,
                localTime.tm_hour, localTime.tm_min, localTime.tm_sec, milliseconds);
  std::string line = stamp;
  line.reserve(line.size() + text.size() + 1);
  for (const char c : text) line += (c == '\n' || c == '\r') ? ' ' : c;
  line += '\n';
  return line;
}

bool AppendLogLine(const std::string& logPath, std::string_view text, std::uint64_t rotateBytes) {
  if (!EnsureParentFolder(logPath)) return false;
  int fd = openLog(logPath);
  if (fd < 0) return false;
  struct stat info {};
  if (fstat(fd, &info) == 0 && static_cast<std::uint64_t>(info.st_size) >= rotateBytes) {
    rotateIfFull(logPath, fd, rotateBytes);
    close(fd);
    fd = openLog(logPath);
    if (fd < 0) return false;
  }
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm local{};
  localtime_r(&now.tv_sec, &local);
  const std::string line = FormatLogLine(local, static_cast<int>(now.tv_nsec / 1000000), text);
  ssize_t written;
  do {
    written = write(fd, line.data(), line.size());
  } while (written < 0 && errno == EINTR);
  close(fd);
  return written == static_cast<ssize_t>(line.size());
}

}  // namespace zelklib
