#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Longest file-name component the file systems we write to accept, in bytes.
inline constexpr std::size_t kMaxFileNameBytes = 255;

// Turns a name that came from outside (the service, a web page, an archive) into one safe
// file-name component, so that no such name can leave the folder it is meant for:
// - separators of either platform ('/' and '\') and control characters (C0, DEL, C1) become '_';
// - bytes that are not well-formed UTF-8 become '_';
// - a name longer than kMaxFileNameBytes is cut at a character boundary, keeping a short
//   extension (".pdf") at its end.
// nullopt when nothing usable remains: an empty name, "." or "..".
std::optional<std::string> SanitiseFileName(std::string_view utf8Name);

}  // namespace platform
