#pragma once

#include <optional>
#include <string>

namespace zelklib {

// The "zelk://" URL scheme, registered the freedesktop way: a desktop entry that declares
// MimeType=x-scheme-handler/zelk and starts the client with the URL after "--", made the
// default handler of that type with xdg-mime, or in the user's mimeapps.list when xdg-mime is
// not installed.
inline constexpr const char* kSchemeMimeType = "x-scheme-handler/zelk";
inline constexpr const char* kSchemeDesktopFileName = "zelk-url-handler.desktop";

struct SchemeHandlerLocations {
  std::string desktopFile;   // $XDG_DATA_HOME/applications/zelk-url-handler.desktop
  std::string mimeappsList;  // $XDG_CONFIG_HOME/mimeapps.list
};
// From XDG_DATA_HOME and XDG_CONFIG_HOME, or their defaults below HOME.
std::optional<SchemeHandlerLocations> CurrentSchemeHandlerLocations();

// One argument of an Exec line: quoted when it holds a reserved character, with the escapes the
// desktop entry format requires; '%' doubled. nullopt for text that cannot appear there.
std::optional<std::string> QuoteExecArgument(const std::string& argument);
// The whole desktop entry for the client program at that path.
std::optional<std::string> SchemeDesktopEntry(const std::string& programPath);

// The handler of a MIME type in the [Default Applications] group of a mimeapps.list text (the
// first of its list); empty when none.
std::string DefaultHandlerIn(const std::string& mimeappsList, const std::string& mimeType);
// The text with that handler made the default of the type; other groups and keys are kept.
std::string WithDefaultHandler(const std::string& mimeappsList, const std::string& mimeType,
                               const std::string& desktopFileName);

// The value of the Exec key of a desktop entry's text; empty when it has none.
std::string ExecLineOf(const std::string& desktopEntry);

// False when the default handler is an entry that starts this program the way ours would: our
// own entry, or the one an installation put into the desktop's application folders
// (XDG_DATA_HOME, then XDG_DATA_DIRS). True otherwise: our entry missing or starting another
// program, or another handler the default.
bool SchemeHandlerNeedsRegistering(const std::string& programDir);
// Writes the entry and makes it the default; true when both were done.
bool RegisterSchemeHandler(const std::string& programDir);

// The client program of a program directory.
std::string ClientProgramPath(const std::string& programDir);

}  // namespace zelklib
