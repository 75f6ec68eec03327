#include "knowledge/local_file_name.h"

#include "platform/code_page.h"
#include "platform/file_name_sanitiser.h"
#include "platform/paths.h"

namespace knowledge {

std::u16string ReplaceTitleCharacters(std::u16string_view title) {
  static constexpr std::u16string_view kReplaced = u"/?-~^%@#!&*[]{}";
  std::u16string result(title);
  for (char16_t& c : result) {
    if (kReplaced.find(c) != std::u16string_view::npos) c = u'_';
  }
  return result;
}

std::optional<std::u16string> SanitiseLocalFileName(std::u16string_view localFileName) {
  const auto safe = platform::SanitiseFileName(platform::Utf16ToUtf8(localFileName));
  if (!safe) return std::nullopt;
  return platform::Utf8ToUtf16(*safe);
}

std::optional<std::u16string> MakeLocalFileName(std::u16string_view title,
                                                std::u16string_view extension) {
  return SanitiseLocalFileName(ReplaceTitleCharacters(title) + std::u16string(extension));
}

std::u16string MakeLocalFullName(std::u16string_view downloadFolder,
                                 std::u16string_view localFileName) {
  return platform::Utf8ToUtf16(platform::JoinPath(platform::Utf16ToUtf8(downloadFolder),
                                                  platform::Utf16ToUtf8(localFileName)));
}

}  // namespace knowledge
