#include "zelklib/file_ops.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/file_version.h"

namespace fs = std::filesystem;

namespace zelklib {
namespace {

bool isLink(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool copyThenRemove(const std::string& source, const std::string& target) {
  std::error_code error;
  fs::copy(source, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
  if (error) {
    fs::remove_all(target, error);
    return false;
  }
  fs::remove_all(source, error);
  return !error;
}

bool mergeInto(const std::string& source, const std::string& target);

// Moves one entry of a folder being merged to its place in the target. What stands in the
// target is never followed: a link or a file in the way of a folder is replaced, and a file
// replaces a link of its name instead of writing through it.
bool moveEntry(const std::string& source, const std::string& target) {
  struct stat info {};
  if (lstat(source.c_str(), &info) != 0) return false;
  struct stat existing {};
  const bool exists = lstat(target.c_str(), &existing) == 0;
  if (S_ISDIR(info.st_mode)) {
    if (exists && S_ISDIR(existing.st_mode)) return mergeInto(source, target);
    if (exists && unlink(target.c_str()) != 0) return false;
  } else if (exists && S_ISDIR(existing.st_mode)) {
    return false;
  }
  if (std::rename(source.c_str(), target.c_str()) == 0) return true;
  return errno == EXDEV && copyThenRemove(source, target);
}

bool mergeInto(const std::string& source, const std::string& target) {
  std::error_code error;
  fs::directory_iterator it(source, error);
  if (error) return false;
  bool ok = true;
  for (const auto& entry : it) {
    const std::string name = entry.path().filename().string();
    ok = moveEntry(entry.path().string(), JoinFolder(target, name)) && ok;
  }
  return ok && rmdir(source.c_str()) == 0;
}

}  // namespace

std::string JoinFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  std::string result = folder;
  while (result.size() > 1 && result.back() == '/') result.pop_back();
  std::size_t start = 0;
  while (start < name.size() && name[start] == '/') ++start;
  if (result.back() != '/') result += '/';
  return result + name.substr(start);
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool RemoveFile(const std::string& path) {
  struct stat info {};
  if (path.empty() || lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  return unlink(path.c_str()) == 0;
}

bool RemoveFolder(const std::string& path) {
  if (path.empty() || !IsFolder(path)) return false;
  std::error_code error;
  const fs::path canonical = fs::weakly_canonical(path, error);
  if (error || canonical == canonical.root_path()) return false;
  if (isLink(path)) return unlink(path.c_str()) == 0;  // the link goes, not what it points to
  fs::remove_all(path, error);
  return !error && !fs::exists(fs::symlink_status(path, error));
}

bool MoveFolder(const std::string& source, const std::string& target) {
  if (!IsFolder(source) || target.empty()) return false;
  std::error_code error;
  const fs::path from = fs::weakly_canonical(source, error);
  if (error) return false;
  const fs::path to = fs::weakly_canonical(target, error);
  if (error) return false;
  if (from == to) return true;
  const std::string fromText = from.string() + "/";
  if (to.string().rfind(fromText, 0) == 0) return false;  // into itself
  if (!EnsureParentFolder(to.string())) return false;
  struct stat existing {};
  if (lstat(to.c_str(), &existing) == 0 && !S_ISDIR(existing.st_mode)) return false;
  return moveEntry(from.string(), to.string());
}

bool EnsureParentFolder(const std::string& filePath) {
  const fs::path parent = fs::path(filePath).parent_path();
  if (parent.empty()) return true;
  std::error_code error;
  fs::create_directories(parent, error);
  return IsFolder(parent.string());
}

std::optional<FileSizeAndVersion> ReadFileSizeAndVersion(const std::string& path) {
  struct stat info {};
  if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  if (access(path.c_str(), R_OK) != 0) return std::nullopt;
  FileSizeAndVersion result;
  result.size = static_cast<std::uint64_t>(info.st_size);
  result.version = platform::ReadEmbeddedFileVersion(path).value_or("");
  return result;
}

}  // namespace zelklib
