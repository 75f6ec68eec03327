#include "zelklib/archive_extractor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/code_page.h"
#include "zelklib/file_ops.h"

namespace fs = std::filesystem;

namespace zelklib {
namespace {

struct ZipCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct ZipFileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;
using ZipFileHandle = std::unique_ptr<zip_file_t, ZipFileCloser>;

struct PlannedEntry {
  zip_uint64_t index = 0;
  std::string path;  // relative, '/'-separated
  bool folder = false;
  bool executable = false;
  std::uint64_t size = 0;
};

// A temporary folder removed with its content unless released.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const std::string& besides) {
    std::string pattern =
        JoinFolder(fs::path(besides).parent_path().string(), ".zelk-unzip-XXXXXX");
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TemporaryFolder() {
    if (path_.empty()) return;
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

bool isValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    std::uint32_t minimum = 0;
    std::uint32_t value = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1, minimum = 0x80, value = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, minimum = 0x800, value = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, minimum = 0x10000, value = c & 0x07;
    } else {
      return false;
    }
    if (i + extra >= text.size()) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000)) return false;
    i += extra + 1;
  }
  return true;
}

// Only plain files and folders: a Unix archiver records links, devices and pipes in the
// file-type bits of the external attributes.
bool isPlainEntry(zip_t* archive, zip_uint64_t index, bool& executable) {
  zip_uint8_t system = 0;
  zip_uint32_t attributes = 0;
  executable = false;
  if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0) return false;
  if (system != ZIP_OPSYS_UNIX) return true;
  const mode_t mode = static_cast<mode_t>(attributes >> 16);
  const mode_t type = mode & S_IFMT;
  executable = (mode & S_IXUSR) != 0;
  return type == 0 || type == S_IFREG || type == S_IFDIR;
}

// Reads and checks every entry; nullopt when one of them is refused.
std::optional<std::vector<PlannedEntry>> planEntries(zip_t* archive, const ExtractLimits& limits) {
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  if (count < 0 || static_cast<std::uint64_t>(count) > limits.maxEntries) return std::nullopt;
  std::vector<PlannedEntry> plan;
  std::uint64_t total = 0;
  for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, i, ZIP_FL_ENC_RAW, &stat) != 0) return std::nullopt;
    const std::uint64_t needed = ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE;
    if ((stat.valid & needed) != needed || stat.name == nullptr) return std::nullopt;
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
      return std::nullopt;
    }
    const auto name = EntryNameToUtf8(stat.name);
    if (!name) return std::nullopt;
    const auto path = SafeEntryPath(*name);
    if (!path) return std::nullopt;
    PlannedEntry entry;
    entry.index = i;
    entry.path = *path;
    entry.folder = name->back() == '/' || name->back() == '\\';
    entry.size = stat.size;
    if (!isPlainEntry(archive, i, entry.executable)) return std::nullopt;
    if (entry.path.empty() && !entry.folder) return std::nullopt;
    if (entry.folder && entry.size != 0) return std::nullopt;
    if (entry.size > limits.ratioCheckBytes &&
        (stat.comp_size == 0 || entry.size / stat.comp_size > limits.maxRatio)) {
      return std::nullopt;
    }
    total += entry.size;
    if (entry.size > limits.maxTotalBytes || total > limits.maxTotalBytes) return std::nullopt;
    if (!entry.path.empty()) plan.push_back(std::move(entry));
  }
  return plan;
}

// Writes one file entry, reading no more than it declared.
bool writeEntry(zip_t* archive, const PlannedEntry& entry, const std::string& path) {
  if (!EnsureParentFolder(path)) return false;
  ZipFileHandle source(zip_fopen_index(archive, entry.index, 0));
  if (!source) return false;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                      entry.executable ? 0755 : 0644);
  if (fd < 0) return false;
  std::vector<char> buffer(1 << 16);
  std::uint64_t written = 0;
  bool ok = true;
  while (ok) {
    const zip_int64_t n = zip_fread(source.get(), buffer.data(), buffer.size());
    if (n < 0) ok = false;  // damaged data or a checksum that does not match
    if (n <= 0) break;
    written += static_cast<std::uint64_t>(n);
    if (written > entry.size) {
      ok = false;
      break;
    }
    std::size_t done = 0;
    while (ok && done < static_cast<std::size_t>(n)) {
      const ssize_t w = write(fd, buffer.data() + done, static_cast<std::size_t>(n) - done);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0)
        ok = false;
      else
        done += static_cast<std::size_t>(w);
    }
  }
  ok = (close(fd) == 0) && ok;
  return ok && written == entry.size;
}

}  // namespace

std::optional<std::string> EntryNameToUtf8(std::string_view raw) {
  if (isValidUtf8(raw)) return std::string(raw);
  const auto decoded = platform::DecodeText(raw, "GB18030");
  if (!decoded) return std::nullopt;
  return platform::Utf16ToUtf8(*decoded);
}

std::optional<std::string> SafeEntryPath(std::string_view name) {
  if (name.empty()) return std::nullopt;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return std::nullopt;
  }
  if (name.front() == '/' || name.front() == '\\') return std::nullopt;
  const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (name.size() >= 2 && isLetter(name[0]) && name[1] == ':') return std::nullopt;
  std::string result;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = name.size();
    const std::string_view segment = name.substr(start, end - start);
    start = end + 1;
    if (segment.empty() || segment == ".") continue;
    if (segment == ".." || segment.size() > 255) return std::nullopt;
    if (!result.empty()) result += '/';
    result += segment;
  }
  return result;
}

bool ExtractArchive(const std::string& archivePath, const std::string& targetFolder,
                    const ExtractLimits& limits) {
  if (targetFolder.empty()) return false;
  int error = 0;
  ZipHandle archive(zip_open(archivePath.c_str(), ZIP_RDONLY, &error));
  if (!archive) return false;
  const auto plan = planEntries(archive.get(), limits);
  if (!plan) return false;

  const std::string target = fs::path(targetFolder).lexically_normal().string();
  const std::string trimmedTarget =
      target.size() > 1 && target.back() == '/' ? target.substr(0, target.size() - 1) : target;
  // The temporary folder goes into the nearest folder above the target that exists already,
  // so that a refused archive leaves not even the target's parent folders behind.
  fs::path existing = fs::path(trimmedTarget).parent_path();
  while (!existing.empty() && !IsFolder(existing.string())) existing = existing.parent_path();
  const TemporaryFolder temporary(existing.empty() ? std::string(".") : existing.string());
  if (temporary.path().empty()) return false;
  for (const PlannedEntry& entry : *plan) {
    const std::string path = JoinFolder(temporary.path(), entry.path);
    if (entry.folder) {
      std::error_code ignored;
      fs::create_directories(path, ignored);
      if (!IsFolder(path)) return false;
    } else if (!writeEntry(archive.get(), entry, path)) {
      return false;
    }
  }
  return EnsureParentFolder(trimmedTarget) && MoveFolder(temporary.path(), trimmedTarget);
}

}  // namespace zelklib
