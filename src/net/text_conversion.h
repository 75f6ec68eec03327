#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace net {

// The client's text crossings: UTF-16 for the user interface, "ANSI" (the system code page)
// for service replies and request values, UTF-8 inside the download history.

// Null gives the empty text. Bytes the code page cannot read become U+FFFD.
std::u16string AnsiToWide(const char* ansi);
std::u16string AnsiToWide(std::string_view ansi);
// The destination is emptied first. Characters the code page lacks become the platform's
// substitution; false for null input or when the conversion cannot be made at all (the
// destination then stays empty).
bool WideToAnsi(std::string& destination, const char16_t* wide);
bool WideToAnsi(std::string& destination, std::u16string_view wide);
std::string WideToAnsiString(std::u16string_view wide);
// nullopt for null input.
std::optional<std::string> WideToUtf8(const char16_t* wide);
std::string WideToUtf8(std::u16string_view wide);
std::optional<std::u16string> Utf8ToWide(const char* utf8);
std::u16string Utf8ToWide(std::string_view utf8);

// Removes entity names left by the service's HTML ("nbsp;" …, without their ampersand), line
// breaks, tabs, doubled question marks and every space, in that order.
std::u16string CleanDisplayText(std::u16string_view text);

}  // namespace net
