#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelklib {

// A text that one process leaves for another: POSIX shared memory of the user (mode 0600),
// named after the user id and the session's runtime folder so that sessions and parallel test
// runs each have their own. The object holds a small header (mark, length) and at most
// kSharedTextMaxUnits UTF-16 units; writers and readers take a file lock on it.
enum class SharedTextKind { UrlProtocol, Interface };

inline constexpr std::size_t kSharedTextMaxUnits = 32 * 1024;

std::string SharedTextName(SharedTextKind kind);

// Replaces the stored text. A text longer than the capacity is refused, and the old text is
// cleared so that nobody acts on a stale request. An object of this name that belongs to
// someone else, or that others may read, is not used.
bool WriteSharedText(const std::string& name, std::u16string_view text);
// The stored text; nullopt when there is none or it is damaged.
std::optional<std::u16string> ReadSharedText(const std::string& name);
bool RemoveSharedText(const std::string& name);

// Removes the object when this process ends normally, as a Windows mapping goes away with the
// last handle of the process that made it. The running client's library asks this for its
// session's objects, so that each run of the client does not leave shared memory behind.
void RemoveSharedTextAtExit(const std::string& name);

}  // namespace zelklib
