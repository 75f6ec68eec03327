#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace core {

// The client's command line as one 8-bit text in the system code page: the arguments joined by
// spaces (a leading "--" dropped, as the desktop entry passes it), every double quote removed.
std::string ReadClientCommandLine(int argc, const char* const* argv);

std::string RemoveDoubleQuotes(std::string_view text);
std::u16string RemoveDoubleQuotes(std::u16string_view text);

// True when the text is a request of the client's URL scheme: it starts with "Zelk://". The
// scheme is compared without regard to case, because browsers hand it over in lower case.
bool IsUrlProtocolRequest(std::u16string_view commandLine);

// The longest request that passes from one instance to another, in UTF-16 units. The service's
// links are far shorter; the bound keeps a hostile page from filling the queue and the log.
inline constexpr std::size_t kMaxUrlProtocolRequestLength = 2048;

// True when the text is a whole, well-formed download request: the scheme "zelk://" and the
// command word "download" (each in any letter case), "/", then a non-empty query of URL
// characters only (letters, digits, "-._~!$&'()*+,;=:@/?" and "%" with two hex digits), at
// most kMaxUrlProtocolRequestLength units in all. Requests are checked with it on both sides
// of the hand-off between instances; anything else is not passed on.
bool IsWellFormedUrlProtocolRequest(std::u16string_view request);

}  // namespace core
