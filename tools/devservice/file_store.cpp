#include "devservice/file_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <stdexcept>
#include <utility>

#include "platform/file_name_sanitiser.h"

namespace devservice {

std::optional<std::string_view> StoreFolderName(std::int32_t kind) {
  static constexpr std::array<std::string_view, 4> kFolders = {"Knowlege", "App", "UserProfile",
                                                               "Platform"};
  if (kind < 0 || static_cast<std::size_t>(kind) >= kFolders.size()) return std::nullopt;
  return kFolders[static_cast<std::size_t>(kind)];
}

bool IsServableFileName(std::string_view name) {
  const auto sanitised = platform::SanitiseFileName(name);
  return sanitised && *sanitised == name;
}

StoredFile::~StoredFile() {
  if (fd_ >= 0) close(fd_);
}

StoredFile::StoredFile(StoredFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

StoredFile& StoredFile::operator=(StoredFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

std::optional<std::int64_t> StoredFile::size() const {
  struct stat status {};
  if (fstat(fd_, &status) != 0) return std::nullopt;
  return static_cast<std::int64_t>(status.st_size);
}

std::optional<std::string> StoredFile::read(std::int64_t offset, std::size_t maxBytes) const {
  std::string data(maxBytes, '\0');
  std::size_t got = 0;
  while (got < maxBytes) {
    const ssize_t n = pread(fd_, data.data() + got, maxBytes - got,
                            static_cast<off_t>(offset + static_cast<std::int64_t>(got)));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  data.resize(got);
  return data;
}

FileStore::FileStore(std::string root) : root_(std::move(root)) {
  struct stat status {};
  if (stat(root_.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
    throw std::runtime_error("the files folder " + root_ + " does not exist");
  }
}

FileStore::Lookup FileStore::open(std::int32_t kind, std::string_view name) const {
  const auto folder = StoreFolderName(kind);
  if (!folder) return {Outcome::kUnknownKind, std::nullopt};
  if (!IsServableFileName(name)) return {Outcome::kRefusedName, std::nullopt};
  const std::string path = root_ + "/" + std::string(*folder) + "/" + std::string(name);
  // No link is followed, and a pipe or device does not block the open: only regular files
  // below the store's own folder are served.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const bool absent = errno == ENOENT || errno == ENOTDIR || errno == ELOOP;
    return {absent ? Outcome::kMissing : Outcome::kUnreadable, std::nullopt};
  }
  StoredFile file(fd);
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return {Outcome::kMissing, std::nullopt};
  return {Outcome::kFound, std::move(file)};
}

}  // namespace devservice
