#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace devservice {

// Folder of a store below the files root, by the `StoreFileKind` wire value: 0 "Knowlege",
// 1 "App", 2 "UserProfile", 3 "Platform" (the client's own spelling of the first). nullopt
// for any other value.
std::optional<std::string_view> StoreFolderName(std::int32_t kind);

// A name the store looks up: one file-name component that the client's file-name sanitiser
// leaves as it is. Anything it would rewrite ("../x", "a/b", "a\b", control characters,
// malformed UTF-8, more than 255 bytes, "." and "..") is refused rather than rewritten, so that
// no two requested names reach the same file and none reaches outside its folder.
bool IsServableFileName(std::string_view name);

// One open file of a store. Owns its descriptor.
class StoredFile {
 public:
  explicit StoredFile(int fd) : fd_(fd) {}
  ~StoredFile();
  StoredFile(StoredFile&& other) noexcept;
  StoredFile& operator=(StoredFile&& other) noexcept;
  StoredFile(const StoredFile&) = delete;
  StoredFile& operator=(const StoredFile&) = delete;

  // Current length in bytes (asked anew, so a file that grows is served to its new end);
  // nullopt when it cannot be asked.
  std::optional<std::int64_t> size() const;
  // Up to maxBytes bytes from offset (fewer at the end of the file); nullopt on a read error.
  std::optional<std::string> read(std::int64_t offset, std::size_t maxBytes) const;

 private:
  int fd_ = -1;
};

// The files the file server offers: <root>/<store folder>/<name>. Read-only; safe to use from
// every connection thread.
class FileStore {
 public:
  enum class Outcome {
    kFound,
    kUnknownKind,  // the kind is not one of the four stores
    kRefusedName,  // not a servable name (see IsServableFileName)
    kMissing,      // no such file, or not a regular file (a link, a folder, a pipe)
    kUnreadable,   // exists but cannot be opened
  };
  struct Lookup {
    Outcome outcome = Outcome::kMissing;
    std::optional<StoredFile> file;
  };

  // Raises std::runtime_error when root is not a folder.
  explicit FileStore(std::string root);

  const std::string& root() const { return root_; }
  // The name must be UTF-8 (the server converts the client's code page first).
  Lookup open(std::int32_t kind, std::string_view name) const;

 private:
  std::string root_;
};

}  // namespace devservice
