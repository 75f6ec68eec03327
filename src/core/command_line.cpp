#include "core/command_line.h"

#include <algorithm>

#include "platform/process.h"

namespace core {
namespace {

char16_t asciiLower(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Starts with `prefix` (lower-case ASCII), ASCII letters compared without regard to case.
bool startsWithFolded(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](char16_t a, char16_t b) { return a == asciiLower(b); });
}

bool isHexDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// A character that may stand for itself in a URL's path or query.
bool isQueryCharacter(char16_t c) {
  if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) {
    return true;
  }
  return std::u16string_view(u"-._~!$&'()*+,;=:@/?").find(c) != std::u16string_view::npos;
}

bool isWellFormedQuery(std::u16string_view query) {
  if (query.empty()) return false;
  for (std::size_t i = 0; i < query.size(); ++i) {
    if (query[i] == u'%') {
      if (i + 2 >= query.size() || !isHexDigit(query[i + 1]) || !isHexDigit(query[i + 2])) {
        return false;
      }
      i += 2;
    } else if (!isQueryCharacter(query[i])) {
      return false;
    }
  }
  return true;
}

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
  return startsWithFolded(commandLine, u"zelk://");
}

bool IsWellFormedUrlProtocolRequest(std::u16string_view request) {
  constexpr std::u16string_view kCommand = u"zelk://download/";
  if (request.size() > kMaxUrlProtocolRequestLength || !startsWithFolded(request, kCommand)) {
    return false;
  }
  return isWellFormedQuery(request.substr(kCommand.size()));
}

}  // namespace core
