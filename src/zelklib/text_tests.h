#pragma once

#include <cstdint>
#include <string_view>

namespace zelklib {

// Exact, case-sensitive comparisons of UTF-16 texts. Every text starts and ends with the
// empty text.
bool TextsEqual(std::u16string_view a, std::u16string_view b);
bool TextStartsWith(std::u16string_view text, std::u16string_view prefix);
bool TextEndsWith(std::u16string_view text, std::u16string_view suffix);

// A number as a colour text of the skin may be written: decimal ("4278190335"), hexadecimal
// with "0x" ("0xFF0000FF"), or "#" with 8 hex digits (AARRGGBB, as is) or 6 (RRGGBB, made
// opaque: "#0000FF" -> 0xFF0000FF). Blanks around it are ignored. Anything else, a sign, or a
// value beyond 32 bits gives 0.
std::uint32_t ParseNumberText(std::u16string_view text);

}  // namespace zelklib
