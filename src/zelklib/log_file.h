#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace zelklib {

// The product log: <program dir>/Log/Zelk.log, one line per call, rotated to Zelk.log.1.
inline constexpr std::uint64_t kLogRotateBytes = 10u * 1024 * 1024;

std::string LogFilePath(const std::string& programDir);

// "YYYY-MM-DD HH:MM:SS.mmm <text>\n" for a local time. Line breaks inside the text become
// blanks so that one call always gives one line.
std::string FormatLogLine(const std::tm& localTime, int milliseconds, std::string_view text);

// Appends one line with the current local time. Every line is a single write() on an
// O_APPEND descriptor, so lines of threads and processes never mix. A file that has reached
// `rotateBytes` is first renamed to "<file>.1" (replacing an older one) under a lock, so that
// two writers do not both rotate. False when the line could not be written.
bool AppendLogLine(const std::string& logPath, std::string_view text,
                   std::uint64_t rotateBytes = kLogRotateBytes);

}  // namespace zelklib
