#pragma once

#include <string>
#include <string_view>

namespace zelklib {

// Joins a base URL and a relative part with exactly one '/' between them. A relative part with
// a leading '/' ("/zelk/x.aspx") is still joined to the whole base, path included (the service
// templates are relative to the service's base, whatever their first character). An absolute
// relative part ("http://...") stands alone; an empty side gives the other.
std::u16string CombineUrl(std::u16string_view base, std::u16string_view relative);

// Adds the argument "zr=<token>" with '?' or '&' as the URL needs, before any fragment.
std::u16string AddUrlArgument(std::u16string_view url, std::u16string_view token);
// A token that differs on every call in this process (a counter) and between processes
// (random bits).
std::u16string UniqueUrlToken();

// Escapes a whole URL as encodeURI does: UTF-8 percent-encoding of every character except
// letters, digits, "-_.!~*'()" and the reserved ";,/?:@&=+$#". An existing escape ("%2B") is
// kept as it is, so that a URL is never escaped twice; a lone '%' becomes "%25".
std::u16string EncodeUrl(std::u16string_view text);

// Makes a URL fit for a request line without changing what it means: bytes outside ASCII,
// blanks, control characters, the characters URLs never hold unescaped ("<>\"\\^`{|}") and a
// '%' that starts no escape are percent-encoded; everything else, existing escapes and the
// brackets of an IPv6 host included, stays. Service URLs carry their values unescaped.
std::string EscapeForRequest(std::string_view utf8Url);

}  // namespace zelklib
