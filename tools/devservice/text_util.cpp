#include "devservice/text_util.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace devservice {

namespace {

bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::string ToLowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string Trim(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    std::uint32_t point = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      length = 2;
      point = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      length = 3;
      point = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      length = 4;
      point = c & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      point = (point << 6) | (next & 0x3F);
    }
    const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < smallest[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

std::size_t Utf8Length(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string TruncateUtf8(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  std::size_t end = maxBytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end));
}

std::vector<std::string> SplitTerms(std::string_view text) {
  // Separators: ASCII blanks and punctuation a user types between words, the full-width
  // comma "，", the ideographic comma "、" and the ideographic space.
  static const std::string_view kWide[] = {"\xEF\xBC\x8C", "\xE3\x80\x81", "\xE3\x80\x80"};
  std::vector<std::string> terms;
  std::string current;
  const auto flush = [&] {
    if (!current.empty()) terms.push_back(std::move(current));
    current.clear();
  };
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == ',' || c == ';' || c == '\t' || c == '+' || c == '|') {
      flush();
      ++i;
      continue;
    }
    bool wide = false;
    for (const auto separator : kWide) {
      if (text.substr(i, separator.size()) == separator) {
        flush();
        i += separator.size();
        wide = true;
        break;
      }
    }
    if (!wide) current += text[i++];
  }
  flush();
  return terms;
}

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const auto end = text.find(separator, start);
    parts.emplace_back(text.substr(start, end == std::string_view::npos ? text.npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return parts;
}

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
  std::string joined;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) joined += separator;
    joined += parts[i];
  }
  return joined;
}

std::string HtmlEscape(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string UrlEncodeComponent(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) != 0 || c == '-' || c == '_' || c == '.' || c == '~') {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    }
  }
  return encoded;
}

std::string CollapseSlashes(std::string_view path) {
  std::string collapsed;
  for (const char c : path) {
    if (c == '/' && (collapsed.empty() || collapsed.back() == '/')) continue;
    collapsed += c;
  }
  return collapsed;
}

std::string NormalizeRequestPath(std::string_view path) {
  return ToLowerAscii(CollapseSlashes(path));
}

bool IsSafeFileName(std::string_view name) {
  if (name.empty() || name.size() > 255 || name == "." || name == "..") return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
  });
}

bool IsMobileNumber(std::string_view text) {
  return text.size() == 11 && text[0] == '1' && text[1] >= '3' && text[1] <= '9' &&
         std::all_of(text.begin(), text.end(), IsAsciiDigit);
}

bool IsEmailAddress(std::string_view text) {
  const auto at = text.find('@');
  if (at == std::string_view::npos || at == 0 || text.find('@', at + 1) != std::string_view::npos) {
    return false;
  }
  const auto domain = text.substr(at + 1);
  const auto dot = domain.find('.');
  if (dot == std::string_view::npos || dot == 0 || domain.back() == '.') return false;
  return std::none_of(text.begin(), text.end(),
                      [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7F; });
}

std::string NormalizeLoginId(std::string_view text) {
  std::string id = Trim(text);
  if (id.starts_with("+86")) {
    id.erase(0, 3);
  } else if (id.size() == 13 && id.starts_with("86")) {
    id.erase(0, 2);
  }
  id = Trim(id);
  if (id.find('@') != std::string::npos) id = ToLowerAscii(id);
  return id;
}

std::string MaskMobileNumber(std::string_view text) {
  if (!IsMobileNumber(text)) return std::string(text);
  return std::string(text.substr(0, 3)) + "****" + std::string(text.substr(7));
}

bool IsVersionText(std::string_view text) {
  const auto parts = Split(text, '.');
  if (parts.size() > 4) return false;
  return std::all_of(parts.begin(), parts.end(), [](const std::string& part) {
    return !part.empty() && part.size() <= 9 && std::all_of(part.begin(), part.end(), IsAsciiDigit);
  });
}

int CompareVersions(std::string_view a, std::string_view b) {
  const auto left = Split(a, '.');
  const auto right = Split(b, '.');
  const auto number = [](const std::vector<std::string>& parts, std::size_t i) -> long long {
    if (i >= parts.size() || parts[i].empty() || parts[i].size() > 18) return 0;
    if (!std::all_of(parts[i].begin(), parts[i].end(), IsAsciiDigit)) return 0;
    return std::stoll(parts[i]);
  };
  for (std::size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
    const long long l = number(left, i);
    const long long r = number(right, i);
    if (l != r) return l < r ? -1 : 1;
  }
  return 0;
}

}  // namespace devservice
