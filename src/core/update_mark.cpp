#include "core/update_mark.h"

#include <fstream>

#include "core/app_directory.h"
#include "core/program_files.h"
#include "platform/paths.h"

namespace core {
namespace {

constexpr std::size_t kMaxLineBytes = 1023;

std::optional<std::u16string> firstMarkLine(std::string_view appDirectory) {
  return ReadFirstLine(JoinAppPath(appDirectory, kUpdateMarkFileName));
}

}  // namespace

std::optional<std::u16string> ReadFirstLine(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string line;
  char c = 0;
  while (line.size() < kMaxLineBytes && in.get(c)) {
    line += c;
    if (c == '\n') break;
  }
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return AnsiTextToWide(line);
}

bool IsUpdatePending(std::string_view appDirectory) {
  return firstMarkLine(appDirectory) == u"1";
}

bool IsIntroducePending(std::string_view appDirectory) {
  return firstMarkLine(appDirectory) == u"2";
}

bool WriteUpdateMark(std::string_view appDirectory, std::string_view mark) {
  return platform::WriteFileAtomically(JoinAppPath(appDirectory, kUpdateMarkFileName),
                                       std::string(mark) + "\n");
}

}  // namespace core
