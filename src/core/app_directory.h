#pragma once

#include <string>
#include <string_view>

namespace core {

// The folder of the running program file as 8-bit text in the system code page, without a
// trailing separator. It holds the skin, the data folders, the log and crash dumps.
std::string GetAppDirectory();
// The same folder as UTF-16, the form the support library's exports take.
std::u16string GetAppDirectoryWide();

// Joins a relative path (either separator) to the program directory.
std::string JoinAppPath(std::string_view relative);
// Joins a relative path (either separator) to a given application folder.
std::string JoinAppPath(std::string_view appDirectory, std::string_view relative);

// 8-bit system code page text to UTF-16; bytes the code page cannot read are taken as UTF-8, so
// a line is never lost.
std::u16string AnsiTextToWide(std::string_view ansi);

}  // namespace core
