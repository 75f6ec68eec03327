#pragma once

#include <string>
#include <vector>

#include "core/zelk_lib_binding.h"

namespace appcenter {

// What an installed app's Version.txt says. The file is text in the system code page, read as
// lines of at most 1023 bytes without their line feed (a line feed at the very end starts no
// further line). One line is the installed version; with two or more, line 1 is a flag ("1" or
// "True": the copy always needs the upgrade) and line 2 the version. Only the first two lines
// matter, so only they are read, however large the file is.
struct InstalledVersion {
  bool exists = false;
  std::vector<std::u16string> lines;  // the first two at most

  // Line 1 of two or more reads "1" or "True".
  bool UpgradeFlag() const;
  // Line 2 of two or more, else line 1, else empty.
  std::u16string Version() const;
  // The file exists, has a line, carries no upgrade flag and its version equals the service's.
  bool IsUpToDate(const std::u16string& serviceVersion) const;
  // The home page's New badge: the flag, or no file at all.
  bool NeedsUpgradeMark() const { return !exists || UpgradeFlag(); }
};

InstalledVersion ReadVersionFile(const std::string& path);

// Rewrites the file as the two lines "1" and the installed version, each ended by a line feed,
// so that the copy shows as outdated until a new package brings its own file.
bool WriteUpgradeMark(const std::string& path, const std::u16string& installedVersion);

}  // namespace appcenter
