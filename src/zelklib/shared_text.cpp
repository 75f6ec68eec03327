#include "zelklib/shared_text.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>

#include "platform/instance_channel.h"

namespace zelklib {
namespace {

constexpr char kMark[4] = {'Z', 'L', 'K', 'T'};
constexpr std::size_t kHeaderBytes = 8;  // mark, then the length in units (32-bit LE)
constexpr std::size_t kObjectBytes = kHeaderBytes + kSharedTextMaxUnits * sizeof(char16_t);

// Closes the descriptor and drops its lock.
class LockedObject {
 public:
  LockedObject(int fd, int lockKind) : fd_(fd) {
    if (fd_ >= 0 && flock(fd_, lockKind) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~LockedObject() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
  }
  LockedObject(const LockedObject&) = delete;
  LockedObject& operator=(const LockedObject&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

bool ownedAndPrivate(int fd) {
  struct stat info {};
  return fstat(fd, &info) == 0 && info.st_uid == getuid() && (info.st_mode & 077) == 0;
}

bool writeAll(int fd, const char* data, std::size_t size, off_t offset) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = pwrite(fd, data + done, size - done, offset + static_cast<off_t>(done));
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool readAll(int fd, char* data, std::size_t size, off_t offset) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = pread(fd, data + done, size - done, offset + static_cast<off_t>(done));
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::uint64_t fnv1a(std::string_view text) {
  std::uint64_t hash = 1469598103934665603ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

}  // namespace

std::string SharedTextName(SharedTextKind kind) {
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx",
                static_cast<unsigned long long>(fnv1a(platform::UserRuntimeDirectory())));
  return "/zelk-" + std::to_string(getuid()) + "-" + hash +
         (kind == SharedTextKind::UrlProtocol ? "-url-protocol" : "-interface");
}

bool WriteSharedText(const std::string& name, std::u16string_view text) {
  const LockedObject object(shm_open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600), LOCK_EX);
  if (object.fd() < 0 || !ownedAndPrivate(object.fd())) return false;
  struct stat info {};
  if (fstat(object.fd(), &info) != 0) return false;
  if (static_cast<std::size_t>(info.st_size) != kObjectBytes &&
      ftruncate(object.fd(), kObjectBytes) != 0) {
    return false;
  }
  const bool fits = text.size() <= kSharedTextMaxUnits;
  const std::uint32_t units = fits ? static_cast<std::uint32_t>(text.size()) : 0;
  std::string bytes(kHeaderBytes + units * sizeof(char16_t), '\0');
  std::memcpy(bytes.data(), kMark, sizeof kMark);
  for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<char>((units >> (8 * i)) & 0xFF);
  for (std::uint32_t i = 0; i < units; ++i) {
    bytes[kHeaderBytes + 2 * i] = static_cast<char>(text[i] & 0xFF);
    bytes[kHeaderBytes + 2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return writeAll(object.fd(), bytes.data(), bytes.size(), 0) && fits;
}

std::optional<std::u16string> ReadSharedText(const std::string& name) {
  const LockedObject object(shm_open(name.c_str(), O_RDONLY | O_CLOEXEC, 0), LOCK_SH);
  if (object.fd() < 0 || !ownedAndPrivate(object.fd())) return std::nullopt;
  char header[kHeaderBytes];
  if (!readAll(object.fd(), header, sizeof header, 0)) return std::nullopt;
  if (std::memcmp(header, kMark, sizeof kMark) != 0) return std::nullopt;
  std::uint32_t units = 0;
  for (int i = 0; i < 4; ++i)
    units |= static_cast<std::uint32_t>(static_cast<unsigned char>(header[4 + i])) << (8 * i);
  if (units > kSharedTextMaxUnits) return std::nullopt;
  std::string bytes(units * sizeof(char16_t), '\0');
  if (!readAll(object.fd(), bytes.data(), bytes.size(), kHeaderBytes)) return std::nullopt;
  std::u16string text(units, u'\0');
  for (std::uint32_t i = 0; i < units; ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return text;
}

bool RemoveSharedText(const std::string& name) {
  return shm_unlink(name.c_str()) == 0;
}

void RemoveSharedTextAtExit(const std::string& name) {
  // Process-wide by nature: the objects belong to the process, not to a caller.
  struct ObjectsOfThisProcess {
    std::mutex mutex;
    std::set<std::string> names;
    ~ObjectsOfThisProcess() {
      for (const auto& object : names) shm_unlink(object.c_str());
    }
  };
  static ObjectsOfThisProcess objects;
  std::lock_guard lock(objects.mutex);
  objects.names.insert(name);
}

}  // namespace zelklib
