#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace devservice {

// Small text helpers of the service. Texts are UTF-8.

std::string ToLowerAscii(std::string_view text);
std::string Trim(std::string_view text);
bool IsValidUtf8(std::string_view text);
// Number of characters (code points) of valid UTF-8.
std::size_t Utf8Length(std::string_view text);

// At most maxBytes bytes of valid UTF-8 text, cut before a whole character.
std::string TruncateUtf8(std::string_view text, std::size_t maxBytes);

// Splits at any of the given single-byte separators and at the full-width comma and space;
// empty pieces are dropped.
std::vector<std::string> SplitTerms(std::string_view text);
std::vector<std::string> Split(std::string_view text, char separator);
std::string Join(const std::vector<std::string>& parts, std::string_view separator);

// Escapes &, <, >, " and ' for HTML text and attribute values.
std::string HtmlEscape(std::string_view text);
// Percent-encodes everything but unreserved characters (for query values in generated links).
std::string UrlEncodeComponent(std::string_view text);

// Collapses repeated slashes, drops the leading one and lower-cases: "//zelk/NewsApi.aspx"
// and "/zelk/newsapi.aspx" name the same endpoint, as on the service this one stands in for.
std::string NormalizeRequestPath(std::string_view path);
// The same without lower-casing.
std::string CollapseSlashes(std::string_view path);

// One file name: not empty, at most 255 bytes, no separators of either platform, no control
// characters, not "." or "..".
bool IsSafeFileName(std::string_view name);

// Mainland mobile number: 11 digits starting with 1 and a second digit 3 to 9.
bool IsMobileNumber(std::string_view text);
// A plain e-mail address: something, "@", a domain with a dot; no blanks.
bool IsEmailAddress(std::string_view text);
// The login id as the service keys it: trimmed, "+86"/"86" prefix of a mobile number dropped,
// e-mail addresses lower-cased.
std::string NormalizeLoginId(std::string_view text);
// "13812345678" becomes "138****5678"; other texts are returned unchanged.
std::string MaskMobileNumber(std::string_view text);

// Compares dotted version texts numerically ("3.1.10" > "3.1.9"); a missing part counts as 0.
// Returns -1, 0 or 1. Callers check both texts with IsVersionText first.
int CompareVersions(std::string_view a, std::string_view b);
// Digits separated by single dots, at most 4 parts of at most 9 digits each.
bool IsVersionText(std::string_view text);

}  // namespace devservice
