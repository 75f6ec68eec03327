#include "appcenter/version_file.h"

#include <cstdio>
#include <memory>

#include "platform/code_page.h"
#include "platform/paths.h"

namespace appcenter {
namespace {

constexpr int kLineBufferBytes = 1024;  // 1023 bytes of text and the terminating NUL
constexpr std::size_t kLinesRead = 2;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool InstalledVersion::UpgradeFlag() const {
  return lines.size() >= 2 && (lines[0] == u"1" || lines[0] == u"True");
}

std::u16string InstalledVersion::Version() const {
  if (lines.size() >= 2) return lines[1];
  if (lines.size() == 1) return lines[0];
  return {};
}

bool InstalledVersion::IsUpToDate(const std::u16string& serviceVersion) const {
  if (!exists || lines.empty() || UpgradeFlag()) return false;
  return Version() == serviceVersion;
}

InstalledVersion ReadVersionFile(const std::string& path) {
  InstalledVersion result;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return result;
  result.exists = true;
  char buffer[kLineBufferBytes];
  while (result.lines.size() < kLinesRead &&
         std::fgets(buffer, sizeof buffer, file.get()) != nullptr) {
    std::string line(buffer);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    result.lines.push_back(platform::AnsiToUtf16Lossy(line));
  }
  return result;
}

bool WriteUpgradeMark(const std::string& path, const std::u16string& installedVersion) {
  return platform::WriteFileAtomically(path,
                                       "1\n" + platform::Utf16ToAnsi(installedVersion) + "\n");
}

}  // namespace appcenter
