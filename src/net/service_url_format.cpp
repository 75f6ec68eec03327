#include "net/service_url_format.h"

#include <algorithm>
#include <array>
#include <utility>

namespace net {

std::optional<std::u16string> FormatServiceUrl(const std::u16string& urlTemplate,
                                               const std::vector<UrlValue>& values) {
  std::u16string result;
  std::size_t next = 0;
  for (std::size_t i = 0; i < urlTemplate.size(); ++i) {
    const char16_t c = urlTemplate[i];
    if (c != u'%' || i + 1 >= urlTemplate.size()) {
      result += c;
      continue;
    }
    const char16_t kind = urlTemplate[++i];
    if (kind == u'%') {
      result += u'%';
      continue;
    }
    if (next >= values.size()) return std::nullopt;
    const UrlValue& value = values[next++];
    if (kind == u's' && std::holds_alternative<std::u16string>(value)) {
      result += std::get<std::u16string>(value);
    } else if (kind == u'd' && std::holds_alternative<std::int32_t>(value)) {
      const std::string digits = std::to_string(std::get<std::int32_t>(value));
      result.append(digits.begin(), digits.end());
    } else {
      return std::nullopt;
    }
    if (result.size() > kMaxServiceUrlLength) return std::nullopt;
  }
  if (next != values.size() || result.size() > kMaxServiceUrlLength) return std::nullopt;
  return result;
}

namespace {

std::u16string upperCaseAscii(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return text;
}

}  // namespace

bool IsWindowsSystemName(const std::u16string& systemName) {
  // Only the start counts: other systems name Microsoft too, as WSL kernels do
  // ("… Linux 5.15.90.1-microsoft-standard-WSL2").
  const std::u16string name = upperCaseAscii(systemName);
  return name.starts_with(u"WINDOWS") || name.starts_with(u"MICROSOFT");
}

std::u16string ShortOSNameFrom(const std::u16string& systemName) {
  std::u16string name = upperCaseAscii(systemName);
  for (char16_t& c : name) {
    if (c == u'_') c = u' ';
  }
  // The first contained text decides, so the order matters ("6.1" before "2008").
  static constexpr std::array<std::pair<std::u16string_view, std::u16string_view>, 15> kNames = {{
      {u"2000", u"Windows 2000"},
      {u"5.0", u"Windows 2000"},
      {u"XP", u"Windows XP"},
      {u"5.1", u"Windows XP"},
      {u"2003", u"Windows 2003"},
      {u"5.2", u"Windows 2003"},
      {u"VISTA", u"Windows Vista"},
      {u"6.0", u"Windows Vista"},
      {u" 7 ", u"Windows 7"},
      {u"6.1", u"Windows 7"},
      {u"2008", u"Windows 2008"},
      {u" 8 ", u"Windows 8"},
      {u"6.2", u"Windows 8"},
      {u"8.1", u"Windows 8.1"},
      {u"6.3", u"Windows 8.1"},
  }};
  const auto found = std::find_if(kNames.begin(), kNames.end(), [&](const auto& entry) {
    return name.find(entry.first) != std::u16string::npos;
  });
  return std::u16string(found != kNames.end() ? found->second : u"Windows");
}

}  // namespace net
