#pragma once

#include <string>
#include <string_view>

namespace zelklib {

// Copies a text into an out-buffer of the client, given by its size in bytes. At most
// bytes / 2 - 1 units are copied, never half a surrogate pair, and the buffer is always
// terminated. A null buffer or one too small for the terminator is left alone.
void CopyToBuffer(std::u16string_view text, char16_t* buffer, int bytes);

// Conversions at the C boundary: null counts as empty text.
std::string ToUtf8(const char16_t* text);
std::u16string ToUtf16(std::string_view utf8);

}  // namespace zelklib
