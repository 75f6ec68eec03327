#include "zelklib/out_buffer.h"

#include <algorithm>

#include "platform/code_page.h"

namespace zelklib {

void CopyToBuffer(std::u16string_view text, char16_t* buffer, int bytes) {
  if (buffer == nullptr || bytes < static_cast<int>(sizeof(char16_t))) return;
  const std::size_t capacity = static_cast<std::size_t>(bytes) / sizeof(char16_t) - 1;
  std::size_t count = std::min(text.size(), capacity);
  const auto isHighSurrogate = [](char16_t unit) { return unit >= 0xD800 && unit < 0xDC00; };
  if (count < text.size() && count > 0 && isHighSurrogate(text[count - 1])) --count;
  std::copy_n(text.data(), count, buffer);
  buffer[count] = u'\0';
}

std::string ToUtf8(const char16_t* text) {
  return platform::Utf16ToUtf8(platform::Utf16View(text));
}

std::u16string ToUtf16(std::string_view utf8) {
  return platform::Utf8ToUtf16(utf8);
}

}  // namespace zelklib
