#include "zelklib/mobile_number.h"

#include <algorithm>

namespace zelklib {
namespace {

bool allDigits(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

bool isBlankOrDash(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\u3000' || c == u'-';
}

}  // namespace

bool IsMobileNumber(std::u16string_view text) {
  return text.size() == 11 && allDigits(text) && text[0] == u'1' && text[1] >= u'3' &&
         text[1] <= u'9';
}

std::u16string NormaliseMobileNumber(std::u16string_view text) {
  std::u16string compact;
  for (const char16_t c : text) {
    if (!isBlankOrDash(c)) compact += c;
  }
  if (compact.size() == 11 && allDigits(compact)) return compact;
  for (const std::u16string_view prefix : {u"+86", u"0086", u"86"}) {
    if (compact.size() == prefix.size() + 11 && compact.starts_with(prefix) &&
        allDigits(std::u16string_view(compact).substr(prefix.size()))) {
      return compact.substr(prefix.size());
    }
  }
  return std::u16string(text);
}

}  // namespace zelklib
