#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zelklib {

// Folder + "/" + name, with exactly one separator between them.
std::string JoinFolder(const std::string& folder, const std::string& name);

// A file (or a link to one) exists; folders are not files.
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);

// Removes one file (a link itself, never what it points to). False for folders and when
// nothing was there.
bool RemoveFile(const std::string& path);
// Removes a folder with everything in it. Refuses the empty path and the root folder.
bool RemoveFolder(const std::string& path);
// Moves a folder to a new place, creating the folders above it. When the target exists, the
// source's content is merged into it (files replace files of the same name). Works across
// file systems. Refuses to move a folder into itself.
bool MoveFolder(const std::string& source, const std::string& target);
// Creates the folders above a file path; true when they exist afterwards.
bool EnsureParentFolder(const std::string& filePath);

struct FileSizeAndVersion {
  std::uint64_t size = 0;
  std::string version;  // empty for files that carry none
};
// Size of a regular file and the version our programs embed; nullopt when the path is not a
// readable regular file.
std::optional<FileSizeAndVersion> ReadFileSizeAndVersion(const std::string& path);

}  // namespace zelklib
