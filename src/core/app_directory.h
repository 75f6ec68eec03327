#pragma once

#include <string>
#include <string_view>

namespace core {

// The folder of the running program file as 8-bit text in the system code page, without a
// trailing separator. It holds the programs, the support library and the skin.
std::string GetAppDirectory();
// The same folder as UTF-16, the form the support library's exports take.
std::u16string GetAppDirectoryWide();

// The folder of the user's writable state (settings, downloads, history, user data,
// advertisements, the log, crash dumps): the program folder of a self-contained copy, the user's
// data folder for an installation (see platform/user_data_directory.h). File-system bytes.
std::string GetDataDirectory();
// The same folder as UTF-16.
std::u16string GetDataDirectoryWide();

// Joins a relative path (either separator) to the program directory.
std::string JoinAppPath(std::string_view relative);
// Joins a relative path (either separator) to a given application folder.
std::string JoinAppPath(std::string_view appDirectory, std::string_view relative);

// 8-bit system code page text to UTF-16; bytes the code page cannot read are taken as UTF-8, so
// a line is never lost.
std::u16string AnsiTextToWide(std::string_view ansi);

}  // namespace core
