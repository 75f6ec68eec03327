#pragma once

#include <string>
#include <string_view>

namespace skinui {

// Layout files and automation requests carry UTF-8; the user interface works in UTF-16.
// Invalid sequences become U+FFFD instead of failing.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace skinui
