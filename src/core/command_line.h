#pragma once

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

}  // namespace core
