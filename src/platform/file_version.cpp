#include "platform/file_version.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {
namespace {

constexpr std::size_t kMaxVersionLength = 64;

// The version after a marker, when it is well formed.
std::optional<std::string> versionAt(std::string_view bytes, std::size_t start) {
  std::size_t end = start;
  while (end < bytes.size() && end - start <= kMaxVersionLength &&
         ((bytes[end] >= '0' && bytes[end] <= '9') || bytes[end] == '.')) {
    ++end;
  }
  if (end == start || end >= bytes.size() || bytes[end] != '\0') return std::nullopt;
  if (end - start > kMaxVersionLength || bytes[start] == '.') return std::nullopt;
  return std::string(bytes.substr(start, end - start));
}

// Closes a descriptor when it goes out of scope.
struct FdCloser {
  int fd;
  ~FdCloser() {
    if (fd >= 0) close(fd);
  }
};

}  // namespace

std::optional<std::string> FindEmbeddedFileVersion(std::string_view bytes) {
  // The search text itself sits in every program that links this file; it is followed by a
  // zero, not a version, and is skipped like any other malformed occurrence.
  constexpr std::string_view kMarker = ZELK_FILE_VERSION_MARKER;
  std::size_t from = 0;
  while (true) {
    const std::size_t at = bytes.find(kMarker, from);
    if (at == std::string_view::npos) return std::nullopt;
    if (auto version = versionAt(bytes, at + kMarker.size())) return version;
    from = at + 1;
  }
}

std::optional<std::string> ReadEmbeddedFileVersion(const std::string& path) {
  // Read in blocks (a file that shrinks while it is read must not fault us, as a mapping
  // would); each block keeps the tail of the previous one so a marker may straddle them.
  const FdCloser file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) return std::nullopt;
  struct stat info {};
  if (fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  constexpr std::size_t kBlock = 1 << 20;
  constexpr std::size_t kOverlap = sizeof(ZELK_FILE_VERSION_MARKER) + kMaxVersionLength + 1;
  std::string window;
  std::string block(kBlock, '\0');
  while (true) {
    const ssize_t n = read(file.fd, block.data(), block.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    window.append(block.data(), static_cast<std::size_t>(n));
    // A version counts only with its terminating zero, so a marker cut off at the end of the
    // window is not misread; it is kept for the next round.
    if (auto version = FindEmbeddedFileVersion(window)) return version;
    if (window.size() > kOverlap) window.erase(0, window.size() - kOverlap);
  }
  return std::nullopt;
}

}  // namespace platform
