#include "zelklib/text_tests.h"

namespace zelklib {
namespace {

int digitValue(char16_t c, int base) {
  int value = -1;
  if (c >= u'0' && c <= u'9')
    value = c - u'0';
  else if (c >= u'a' && c <= u'f')
    value = c - u'a' + 10;
  else if (c >= u'A' && c <= u'F')
    value = c - u'A' + 10;
  return value < base ? value : -1;
}

// All of `digits` in the base; nullopt-like false on any other character or on overflow.
bool parseDigits(std::u16string_view digits, int base, std::uint64_t& value) {
  if (digits.empty()) return false;
  value = 0;
  for (const char16_t c : digits) {
    const int digit = digitValue(c, base);
    if (digit < 0) return false;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFull) return false;
  }
  return true;
}

bool isBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

}  // namespace

bool TextsEqual(std::u16string_view a, std::u16string_view b) {
  return a == b;
}

bool TextStartsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.starts_with(prefix);
}

bool TextEndsWith(std::u16string_view text, std::u16string_view suffix) {
  return text.ends_with(suffix);
}

std::uint32_t ParseNumberText(std::u16string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  std::uint64_t value = 0;
  if (text.starts_with(u"#")) {
    const auto digits = text.substr(1);
    if ((digits.size() != 6 && digits.size() != 8) || !parseDigits(digits, 16, value)) return 0;
    if (digits.size() == 6) value |= 0xFF000000u;
    return static_cast<std::uint32_t>(value);
  }
  if (text.starts_with(u"0x") || text.starts_with(u"0X")) {
    return parseDigits(text.substr(2), 16, value) ? static_cast<std::uint32_t>(value) : 0;
  }
  return parseDigits(text, 10, value) ? static_cast<std::uint32_t>(value) : 0;
}

}  // namespace zelklib
