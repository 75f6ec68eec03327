#include "core/app_directory.h"

#include "platform/code_page.h"
#include "platform/paths.h"
#include "platform/user_data_directory.h"

namespace core {

std::string GetAppDirectory() {
  // The path arrives as file-system bytes (UTF-8 here); the client works with the ANSI form.
  return platform::Utf16ToAnsi(platform::Utf8ToUtf16(platform::ProgramDirectory()));
}

// Straight from the file-system bytes: a folder name the code page cannot hold stays usable.
std::u16string GetAppDirectoryWide() {
  return platform::Utf8ToUtf16(platform::ProgramDirectory());
}

std::string GetDataDirectory() {
  return platform::UserDataDirectory(platform::ProgramDirectory());
}

std::u16string GetDataDirectoryWide() {
  return platform::Utf8ToUtf16(GetDataDirectory());
}

std::string JoinAppPath(std::string_view relative) {
  return JoinAppPath(GetAppDirectory(), relative);
}

std::string JoinAppPath(std::string_view appDirectory, std::string_view relative) {
  return platform::JoinPath(appDirectory, relative);
}

std::u16string AnsiTextToWide(std::string_view ansi) {
  if (auto wide = platform::AnsiToUtf16(ansi)) return *std::move(wide);
  return platform::Utf8ToUtf16(ansi);
}

}  // namespace core
