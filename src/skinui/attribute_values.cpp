#include "skinui/attribute_values.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <vector>

namespace skinui {

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::vector<int> ParseList(std::string_view text, std::size_t count, const char* what) {
  std::vector<int> values;
  std::string_view rest = text;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t comma = rest.find(',');
    const bool last = i + 1 == count;
    if (last != (comma == std::string_view::npos)) {
      throw AttributeError("bad " + std::string(what) + " '" + std::string(text) + "'");
    }
    values.push_back(ParseInt(rest.substr(0, comma)));
    if (!last) rest.remove_prefix(comma + 1);
  }
  return values;
}

}  // namespace

int ParseInt(std::string_view text) {
  const std::string_view t = Trim(text);
  int value = 0;
  const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (t.empty() || error != std::errc() || end != t.data() + t.size()) {
    throw AttributeError("bad number '" + std::string(text) + "'");
  }
  return value;
}

bool ParseBool(std::string_view text) {
  const std::string_view t = Trim(text);
  auto equalsNoCase = [&](std::string_view word) {
    if (t.size() != word.size()) return false;
    for (std::size_t i = 0; i < t.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(t[i])) != word[i]) return false;
    }
    return true;
  };
  if (equalsNoCase("true") || t == "1") return true;
  if (equalsNoCase("false") || t == "0") return false;
  throw AttributeError("bad flag '" + std::string(text) + "' (true or false)");
}

Rect ParseRect(std::string_view text) {
  const auto v = ParseList(text, 4, "rectangle");
  return {v[0], v[1], v[2], v[3]};
}

Size ParseSize(std::string_view text) {
  const auto v = ParseList(text, 2, "size");
  return {v[0], v[1]};
}

std::uint32_t ParseColor(std::string_view text) {
  std::string_view t = Trim(text);
  if (t.starts_with("#")) {
    t.remove_prefix(1);
  } else if (t.starts_with("0x") || t.starts_with("0X")) {
    t.remove_prefix(2);
  } else {
    throw AttributeError("bad colour '" + std::string(text) + "' (#AARRGGBB)");
  }
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value, 16);
  if ((t.size() != 6 && t.size() != 8) || error != std::errc() || end != t.data() + t.size()) {
    throw AttributeError("bad colour '" + std::string(text) + "' (#AARRGGBB)");
  }
  return t.size() == 6 ? (0xFF000000u | value) : value;
}

std::string FormatColor(std::uint32_t argb) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "#%08X", argb);
  return buffer;
}

}  // namespace skinui
