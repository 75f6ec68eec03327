#include "zelklib/file_in_use.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "platform/paths.h"

namespace zelklib {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

bool isNumber(const char* name, long& value) {
  char* end = nullptr;
  value = std::strtol(name, &end, 10);
  return end != name && *end == '\0';
}

// Does one process have the file (by device and inode) open for writing?
bool processWrites(long pid, const struct stat& target) {
  const std::string base = "/proc/" + std::to_string(pid);
  DirHandle fds(opendir((base + "/fd").c_str()));
  if (!fds) return false;
  while (dirent* entry = readdir(fds.get())) {
    long fd = 0;
    if (!isNumber(entry->d_name, fd)) continue;
    struct stat info {};
    const std::string link = base + "/fd/" + entry->d_name;
    if (stat(link.c_str(), &info) != 0 || info.st_dev != target.st_dev ||
        info.st_ino != target.st_ino) {
      continue;
    }
    std::string fdinfo;
    if (platform::ReadWholeFile(base + "/fdinfo/" + entry->d_name, fdinfo) &&
        FdInfoSaysWritable(fdinfo)) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool FdInfoSaysWritable(const std::string& fdinfo) {
  std::istringstream lines(fdinfo);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("flags:", 0) != 0) continue;
    const unsigned long flags = std::strtoul(line.c_str() + 6, nullptr, 8);
    const unsigned long mode = flags & O_ACCMODE;
    return mode == O_WRONLY || mode == O_RDWR;
  }
  return false;
}

bool IsOpenForWritingElsewhere(const std::string& path) {
  struct stat target {};
  if (stat(path.c_str(), &target) != 0) return false;
  DirHandle proc(opendir("/proc"));
  if (!proc) return false;
  const long self = getpid();
  const uid_t user = getuid();
  while (dirent* entry = readdir(proc.get())) {
    long pid = 0;
    if (!isNumber(entry->d_name, pid) || pid == self) continue;
    struct stat owner {};
    const std::string dir = std::string("/proc/") + entry->d_name;
    if (stat(dir.c_str(), &owner) != 0 || owner.st_uid != user) continue;
    if (processWrites(pid, target)) return true;
  }
  return false;
}

bool IsLockedElsewhere(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  // A record lock of another process that would keep us from writing.
  struct flock query {};
  query.l_type = F_WRLCK;
  query.l_whence = SEEK_SET;
  bool locked = fcntl(fd, F_GETLK, &query) == 0 && query.l_type != F_UNLCK;
  // A whole-file flock: taking it ourselves fails while someone else holds it.
  if (!locked) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0)
      flock(fd, LOCK_UN);
    else
      locked = errno == EWOULDBLOCK;
  }
  close(fd);
  return locked;
}

bool IsFileInUse(const std::string& path) {
  return IsLockedElsewhere(path) || IsOpenForWritingElsewhere(path);
}

}  // namespace zelklib
