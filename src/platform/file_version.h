#pragma once

#include <optional>
#include <string>
#include <string_view>

// The version text of our own programs and libraries, kept inside the file so that it can be
// read without running it (as a Windows version resource is). A program or library places
// ZELK_EMBED_FILE_VERSION(); once in one of its source files at namespace scope; the marker
// "ZELK_FILE_VERSION=<version>" then sits in its read-only data.
#ifndef ZELK_VERSION_TEXT
#error "ZELK_VERSION_TEXT must be defined by the build"
#endif

#define ZELK_FILE_VERSION_MARKER "ZELK_FILE_VERSION="

#define ZELK_EMBED_FILE_VERSION()                                      \
  __attribute__((used)) static const char kZelkEmbeddedFileVersion[] = \
      ZELK_FILE_VERSION_MARKER ZELK_VERSION_TEXT

namespace platform {

// The version this build embeds ("3.1.0.0" unless the build says otherwise).
inline constexpr const char* kBuildVersionText = ZELK_VERSION_TEXT;

// Finds the first well-formed marker in the bytes of a file: the marker followed by a version
// of digits and dots (starting with a digit, at most 64 characters) and a terminating zero.
std::optional<std::string> FindEmbeddedFileVersion(std::string_view bytes);
// Reads a file (mapped, not loaded) and finds its marker; nullopt when the file cannot be
// read or holds none.
std::optional<std::string> ReadEmbeddedFileVersion(const std::string& path);

}  // namespace platform
