#include "zelklib/url_text.h"

#include <sodium.h>

#include <atomic>
#include <cstdio>

#include "platform/code_page.h"

namespace zelklib {
namespace {

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool keptByEncodeUri(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("-_.!~*'();,/?:@&=+$#").find(static_cast<char>(c)) !=
         std::string_view::npos;
}

}  // namespace

std::u16string CombineUrl(std::u16string_view base, std::u16string_view relative) {
  if (relative.find(u"://") != std::u16string_view::npos) return std::u16string(relative);
  if (base.empty()) return std::u16string(relative);
  if (relative.empty()) return std::u16string(base);
  while (!base.empty() && base.back() == u'/') base.remove_suffix(1);
  while (!relative.empty() && relative.front() == u'/') relative.remove_prefix(1);
  std::u16string joined(base);
  joined += u'/';
  joined += relative;
  return joined;
}

std::u16string AddUrlArgument(std::u16string_view url, std::u16string_view token) {
  const auto hash = url.find(u'#');
  const std::u16string_view head = url.substr(0, hash);
  const std::u16string_view fragment =
      hash == std::u16string_view::npos ? std::u16string_view() : url.substr(hash);
  std::u16string result(head);
  if (head.find(u'?') == std::u16string_view::npos)
    result += u'?';
  else if (head.back() != u'?' && head.back() != u'&')
    result += u'&';
  result += u"zr=";
  result += token;
  result += fragment;
  return result;
}

std::u16string UniqueUrlToken() {
  static std::atomic<std::uint64_t> counter{0};
  if (sodium_init() < 0) return {};
  const std::uint64_t count = counter.fetch_add(1);
  char text[32];
  std::snprintf(text, sizeof text, "%08x%llx", randombytes_random(),
                static_cast<unsigned long long>(count));
  return platform::Utf8ToUtf16(text);
}

std::u16string EncodeUrl(std::u16string_view text) {
  const std::string utf8 = platform::Utf16ToUtf8(text);
  std::string encoded;
  encoded.reserve(utf8.size() * 3);
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (keptByEncodeUri(c)) {
      encoded += static_cast<char>(c);
    } else if (c == '%' && i + 2 < utf8.size() && isHexDigit(utf8[i + 1]) &&
               isHexDigit(utf8[i + 2])) {
      encoded += '%';
    } else {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", c);
      encoded += escape;
    }
  }
  return platform::Utf8ToUtf16(encoded);
}

std::string EscapeForRequest(std::string_view utf8Url) {
  std::string escaped;
  escaped.reserve(utf8Url.size());
  for (std::size_t i = 0; i < utf8Url.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8Url[i]);
    const bool validEscape = c == '%' && i + 2 < utf8Url.size() && isHexDigit(utf8Url[i + 1]) &&
                             isHexDigit(utf8Url[i + 2]);
    const bool plain =
        c > 0x20 && c < 0x7F &&
        std::string_view("<>\"\\^`{|}").find(static_cast<char>(c)) == std::string_view::npos &&
        (c != '%' || validEscape);
    if (plain) {
      escaped += static_cast<char>(c);
    } else {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", c);
      escaped += escape;
    }
  }
  return escaped;
}

}  // namespace zelklib
