#include "platform/file_name_sanitiser.h"

#include <cstdint>

namespace platform {
namespace {

// An extension longer than this is not worth keeping when a name must be cut.
constexpr std::size_t kMaxKeptExtensionBytes = 16;

bool isContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence at `at` and its code point; 0 when malformed
// (overlong forms, surrogates and values above U+10FFFF included).
std::size_t sequenceAt(std::string_view text, std::size_t at, char32_t& codePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2;
    minimum = 0x80;
    codePoint = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    minimum = 0x800;
    codePoint = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    minimum = 0x10000;
    codePoint = lead & 0x07;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!isContinuation(byte(i))) return 0;
    codePoint = (codePoint << 6) | (byte(i) & 0x3F);
  }
  if (codePoint < minimum || codePoint > 0x10FFFF) return 0;
  if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;
  return length;
}

bool isControl(char32_t c) {
  return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F);
}

// Replaces everything that may not stand in one component; the result is well-formed UTF-8.
std::string replaceUnsafe(std::string_view name) {
  std::string result;
  result.reserve(name.size());
  std::size_t at = 0;
  while (at < name.size()) {
    char32_t c = 0;
    const std::size_t length = sequenceAt(name, at, c);
    if (length == 0) {
      result += '_';
      ++at;
      continue;
    }
    if (c == U'/' || c == U'\\' || isControl(c)) {
      result += '_';
    } else {
      result.append(name.substr(at, length));
    }
    at += length;
  }
  return result;
}

// Largest cut of well-formed UTF-8 text at or below `limit` bytes that ends on a character.
std::size_t boundaryAtOrBelow(std::string_view text, std::size_t limit) {
  if (limit >= text.size()) return text.size();
  std::size_t cut = limit;
  while (cut > 0 && isContinuation(static_cast<unsigned char>(text[cut]))) --cut;
  return cut;
}

std::string cutToLimit(const std::string& name) {
  if (name.size() <= kMaxFileNameBytes) return name;
  const auto dot = name.rfind('.');
  const bool keepExtension =
      dot != std::string::npos && dot > 0 && name.size() - dot <= kMaxKeptExtensionBytes;
  const std::string extension = keepExtension ? name.substr(dot) : std::string();
  const std::string_view stem = std::string_view(name).substr(0, keepExtension ? dot : name.size());
  const std::size_t cut = boundaryAtOrBelow(stem, kMaxFileNameBytes - extension.size());
  return std::string(stem.substr(0, cut)) + extension;
}

}  // namespace

std::optional<std::string> SanitiseFileName(std::string_view utf8Name) {
  const std::string name = cutToLimit(replaceUnsafe(utf8Name));
  if (name.empty() || name == "." || name == "..") return std::nullopt;
  return name;
}

}  // namespace platform
