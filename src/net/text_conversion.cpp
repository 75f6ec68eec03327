#include "net/text_conversion.h"

#include <array>
#include <utility>

#include "platform/code_page.h"

namespace net {

std::u16string AnsiToWide(const char* ansi) {
  return ansi == nullptr ? std::u16string() : AnsiToWide(std::string_view(ansi));
}

std::u16string AnsiToWide(std::string_view ansi) {
  return platform::AnsiToUtf16Lossy(ansi);
}

bool WideToAnsi(std::string& destination, const char16_t* wide) {
  destination.clear();
  if (wide == nullptr) return false;
  return WideToAnsi(destination, platform::Utf16View(wide));
}

bool WideToAnsi(std::string& destination, std::u16string_view wide) {
  destination.clear();
  auto converted = platform::EncodeText(wide, platform::AnsiCodeset());
  if (!converted) return false;
  destination = std::move(*converted);
  return true;
}

std::string WideToAnsiString(std::u16string_view wide) {
  return platform::Utf16ToAnsi(wide);
}

std::optional<std::string> WideToUtf8(const char16_t* wide) {
  if (wide == nullptr) return std::nullopt;
  return platform::Utf16ToUtf8(platform::Utf16View(wide));
}

std::string WideToUtf8(std::u16string_view wide) {
  return platform::Utf16ToUtf8(wide);
}

std::optional<std::u16string> Utf8ToWide(const char* utf8) {
  if (utf8 == nullptr) return std::nullopt;
  return platform::Utf8ToUtf16(utf8);
}

std::u16string Utf8ToWide(std::string_view utf8) {
  return platform::Utf8ToUtf16(utf8);
}

std::u16string CleanDisplayText(std::u16string_view text) {
  static constexpr std::array<std::u16string_view, 14> kRemoved = {
      u"nbsp;",  u"rdquo;", u"ldquo;", u"middot;", u"times;", u"mdash;", u"hellip;",
      u"prime;", u"deg;",   u"\r",     u"\n",      u"\t",     u"??",     u" "};
  std::u16string result(text);
  for (const auto removed : kRemoved) {
    std::u16string next;
    next.reserve(result.size());
    std::size_t from = 0;
    for (auto at = result.find(removed); at != std::u16string::npos;
         at = result.find(removed, from)) {
      next.append(result, from, at - from);
      from = at + removed.size();
    }
    next.append(result, from);
    result = std::move(next);
  }
  return result;
}

}  // namespace net
