#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Conversions between UTF-16 (user-interface text), UTF-8 and the "ANSI" code page, which on
// Linux is the locale's codeset. All go through iconv. A conversion that meets bytes it cannot
// read answers nullopt; characters the target code page lacks become '?'.

// The codeset "ANSI" text is in: the override when set, else nl_langinfo(CODESET) of the
// environment's locale (UTF-8 when the locale names none).
std::string AnsiCodeset();
// Process-wide, like the system code page it stands for. Tests select "GBK" with it; an empty
// name returns to the locale's codeset.
void SetAnsiCodesetOverride(std::string codeset);

std::optional<std::u16string> DecodeText(std::string_view bytes, const std::string& codeset);
std::optional<std::string> EncodeText(std::u16string_view text, const std::string& codeset);

std::u16string Utf8ToUtf16(std::string_view utf8);  // invalid sequences become U+FFFD
std::string Utf16ToUtf8(std::u16string_view text);  // unpaired surrogates become U+FFFD
std::optional<std::u16string> AnsiToUtf16(std::string_view ansi);
// As AnsiToUtf16, but bytes that are not text of the code page become U+FFFD.
std::u16string AnsiToUtf16Lossy(std::string_view ansi);
std::string Utf16ToAnsi(std::u16string_view text);  // unrepresentable characters become '?'

// Length of a zero-terminated UTF-16 text (null counts as empty).
std::size_t Utf16Length(const char16_t* text);
std::u16string_view Utf16View(const char16_t* text);

}  // namespace platform
