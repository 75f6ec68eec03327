#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace devservice {

// One file of a zip archive the sample generator writes.
struct ZipEntry {
  std::string name;  // ASCII path inside the archive, "/" between folders
  std::string content;
  bool stored = false;            // kept uncompressed (its size then adds one for one)
  std::uint32_t unixMode = 0644;  // permission bits, kept for Unix unpackers
};

// The archive of the entries in their order, built in memory with libzip. Every entry carries
// the same fixed time, so the same entries always give the same bytes. Raises
// std::runtime_error when libzip fails.
std::string BuildZip(const std::vector<ZipEntry>& entries);

}  // namespace devservice
