#include "appcenter/app_market_item_data.h"

#include "net/text_conversion.h"
#include "platform/code_page.h"
#include "platform/file_name_sanitiser.h"
#include "platform/paths.h"

namespace appcenter {
namespace {

constexpr std::size_t kDescriptionLength = 120;

}  // namespace

std::u16string AppDescription(std::u16string_view remark) {
  std::u16string lower(remark);
  for (char16_t& c : lower) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  std::u16string cleaned = net::CleanDisplayText(lower);
  if (cleaned.size() > kDescriptionLength) cleaned.resize(kDescriptionLength);
  return cleaned;
}

std::string SafeFileName(const std::u16string& name) {
  return platform::SanitiseFileName(platform::Utf16ToUtf8(name)).value_or("");
}

AppPaths PathsOf(const std::string& appDirectory, const AppMarketItemData& data) {
  AppPaths paths;
  const std::string app = SafeFileName(data.appName);
  if (app.empty()) return paths;
  paths.folder = platform::JoinPath(platform::JoinPath(appDirectory, "Modules"), app);
  paths.version = platform::JoinPath(paths.folder, "Version.txt");
  if (const std::string exe = SafeFileName(data.exeName); !exe.empty()) {
    paths.program = platform::JoinPath(paths.folder, exe);
  }
  if (const std::string icon = SafeFileName(data.iconName); !icon.empty()) {
    paths.icon = platform::JoinPath(paths.folder, icon);
  }
  return paths;
}

}  // namespace appcenter
