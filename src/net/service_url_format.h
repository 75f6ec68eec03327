#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace net {

// Longest URL a request may have: the formatting buffer holds 3072 units with its terminator.
inline constexpr std::size_t kMaxServiceUrlLength = 3071;

using UrlValue = std::variant<std::u16string, std::int32_t>;

// Fills the %s (text) and %d (signed decimal) placeholders of a URL template in order, values
// unescaped. nullopt when the values do not match the placeholders or the result would be
// longer than kMaxServiceUrlLength: a cut URL would be a different request.
std::optional<std::u16string> FormatServiceUrl(const std::u16string& urlTemplate,
                                               const std::vector<UrlValue>& values);

// The short system name reported to the service, from a Windows system's own name.
std::u16string ShortOSNameFrom(const std::u16string& systemName);
// True when the name is a Windows system's: it starts with "Windows" or "Microsoft" (any letter
// case).
bool IsWindowsSystemName(const std::u16string& systemName);

}  // namespace net
