#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace core {

// The update mark file "judgeUpdate.txt" in the program directory. Only its first line counts:
// "1" means an update package waits to be installed, "2" means the new-feature introduction is
// to be shown once. The updater writes it; the client only reads it.

// The first line of a text file as UTF-16 (read in the system code page): at most 1023 bytes,
// a trailing line feed and carriage return removed. nullopt when the file cannot be read.
std::optional<std::u16string> ReadFirstLine(const std::string& path);

bool IsUpdatePending(std::string_view appDirectory);
bool IsIntroducePending(std::string_view appDirectory);

// Replaces the file with one line holding the mark ("1", "2", or "" for neither). The file is
// replaced whole, so a reader sees the old or the new mark.
bool WriteUpdateMark(std::string_view appDirectory, std::string_view mark);

}  // namespace core
