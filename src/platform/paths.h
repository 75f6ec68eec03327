#pragma once

#include <string>
#include <string_view>

namespace platform {

inline constexpr char kPathSeparator = '/';

// Full path of the running program file (/proc/self/exe).
std::string ProgramPath();
// Its folder, without a trailing separator.
std::string ProgramDirectory();
// Its file name.
std::string ProgramFileName();

// Joins a relative path to a folder with one separator. Backslashes in the relative part are
// turned into the platform separator; a leading separator of it is dropped.
std::string JoinPath(std::string_view folder, std::string_view relative);
// Turns every backslash into the platform separator.
std::string NativeSeparators(std::string_view path);

// Writes a file through a temporary file in the same folder, flushed and renamed over the old
// one, so a crash leaves the old or the new content. mode: permission bits of a new file.
bool WriteFileAtomically(const std::string& path, std::string_view content, unsigned mode = 0644);
// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);

}  // namespace platform
