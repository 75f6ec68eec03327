#include "core/command_line.h"

#include <algorithm>

#include "platform/process.h"

namespace core {
namespace {

template <class Char>
std::basic_string<Char> withoutQuotes(std::basic_string_view<Char> text) {
  std::basic_string<Char> result;
  result.reserve(text.size());
  std::copy_if(text.begin(), text.end(), std::back_inserter(result),
               [](Char c) { return c != Char('"'); });
  return result;
}

}  // namespace

std::string ReadClientCommandLine(int argc, const char* const* argv) {
  return RemoveDoubleQuotes(platform::JoinCommandLine(argc, argv));
}

std::string RemoveDoubleQuotes(std::string_view text) {
  return withoutQuotes(text);
}

std::u16string RemoveDoubleQuotes(std::u16string_view text) {
  return withoutQuotes(text);
}

bool IsUrlProtocolRequest(std::u16string_view commandLine) {
  constexpr std::u16string_view kScheme = u"zelk://";
  if (commandLine.size() < kScheme.size()) return false;
  return std::equal(kScheme.begin(), kScheme.end(), commandLine.begin(),
                    [](char16_t a, char16_t b) {
                      const char16_t lower =
                          (b >= u'A' && b <= u'Z') ? static_cast<char16_t>(b - u'A' + u'a') : b;
                      return a == lower;
                    });
}

}  // namespace core
