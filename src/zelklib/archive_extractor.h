#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelklib {

// Bounds an archive must stay within before anything of it is unpacked.
struct ExtractLimits {
  std::uint64_t maxTotalBytes = 2ull << 30;  // unpacked size of all entries together
  std::uint64_t maxEntries = 100000;
  // Entries above this size may not expand more than maxRatio times (a "zip bomb").
  std::uint64_t ratioCheckBytes = 16u << 20;
  std::uint64_t maxRatio = 500;
};

// An entry's name as UTF-8: stored UTF-8 as it is, anything else read as GBK (GB18030), the
// encoding Chinese Windows archivers write without marking it. nullopt when neither fits.
std::optional<std::string> EntryNameToUtf8(std::string_view raw);

// The relative path an entry name stands for inside the target folder, with '/' separators,
// "." and empty segments dropped. Backslashes count as separators (archives made on Windows).
// nullopt for every name that could leave the folder or is not a plain name: absolute paths,
// UNC and drive prefixes ("C:"), ".." segments, control characters, segments over 255 bytes.
// The empty text means the folder itself (a "./" entry).
std::optional<std::string> SafeEntryPath(std::string_view utf8Name);

// Unpacks a zip archive into the target folder. The whole archive is checked first (names,
// entry kinds: only files and folders, no links or devices; encryption; sizes against the
// limits) and refused as a whole when one entry fails. It is then unpacked into a temporary
// folder beside the target and moved into place; existing files of the same names are
// replaced. On failure nothing of the archive is left behind.
bool ExtractArchive(const std::string& archivePath, const std::string& targetFolder,
                    const ExtractLimits& limits = {});

}  // namespace zelklib
