#pragma once

#include <string>

namespace platform {

// Where a user's writable state lives (settings, downloads, history, modules, logs, crash dumps).
// A self-contained application folder (the build's staged folder, an unpacked copy) keeps its
// state inside itself. An installation marks its folder with kInstalledMarkerFileName: the
// folder then holds only the product's read-only files, and each user's state lives in the
// user's data folder, as the desktop's conventions want.

inline constexpr const char* kInstalledMarkerFileName = "installed";
inline constexpr const char* kUserDataFolderName = "Tamsel";

// Whether the program folder is an installation.
bool IsInstalledLayout(const std::string& programDirectory);
// `$XDG_DATA_HOME/Tamsel`; `$HOME/.local/share/Tamsel` when XDG_DATA_HOME is unset or relative.
std::string XdgUserDataDirectory();
// The program folder itself, or for an installation the user's data folder (created, mode 0700,
// when missing).
std::string UserDataDirectory(const std::string& programDirectory);

}  // namespace platform
