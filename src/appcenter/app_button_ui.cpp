#include "appcenter/app_button_ui.h"

#include <exception>

#include "appcenter/app_market_item_data.h"
#include "appcenter/version_file.h"
#include "platform/code_page.h"
#include "platform/paths.h"
#include "skinui/painter.h"

namespace appcenter {
namespace {

constexpr char16_t kInstallHint[] = u"【点击安装】 ";
constexpr char16_t kUpgradeHint[] = u"【点击升级】 ";

}  // namespace

std::string PathBelowModules(const std::string& modulesFolder, const std::u16string& relative) {
  const std::string native = platform::NativeSeparators(platform::Utf16ToUtf8(relative));
  std::string path = modulesFolder;
  std::size_t at = 0;
  while (at <= native.size()) {
    std::size_t end = native.find('/', at);
    if (end == std::string::npos) end = native.size();
    const std::string part = native.substr(at, end - at);
    if (part.empty() || part == "." || part == "..") return {};
    path = platform::JoinPath(path, part);
    at = end + 1;
  }
  return path;
}

CAppButtonUI::CAppButtonUI(const AppButtonEntry& entry, int position,
                           const std::string& modulesFolder)
    : modulesFolder_(modulesFolder),
      appName_(entry.appName),
      exeFileName_(entry.exeFileName),
      imageFileName_(entry.imageFileName),
      description_(entry.description),
      netFrameworkVersionName_(entry.netFrameworkVersionName),
      netVersion_(DotNetVersionFromText(entry.netFrameworkVersionName)),
      caption_(entry.text.substr(0, kCaptionLength)),
      programPath_(PathBelowModules(modulesFolder, entry.exeFileName)) {
  showNewMark = entry.canUpgrade;
  SetText(caption_);
  SetToolTip(description_);
  SetName(kNamePrefix + std::to_string(position));
  SetNormalImage("app_btn_normal.png");
  SetHotImage("app_btn_hover.png");
  SetPushedImage("app_btn_pushed.png");
  SetAttribute("width", "96");
  SetAttribute("height", "96");
  SetAttribute("align", "centerbottom");
  SetAttribute("textpadding", "0,0,0,6");
  const std::string icon = PathBelowModules(modulesFolder, imageFileName_);
  try {
    if (!icon.empty()) SetBkImage(icon);
  } catch (const std::exception&) {
    // An icon path the image attribute cannot hold leaves the button without icon.
  }
}

std::string CAppButtonUI::AppFolder() const {
  const std::string app = SafeFileName(appName_);
  return app.empty() ? std::string() : platform::JoinPath(modulesFolder_, app);
}

std::string CAppButtonUI::VersionPath() const {
  const std::string folder = AppFolder();
  return folder.empty() ? std::string() : platform::JoinPath(folder, "Version.txt");
}

void CAppButtonUI::Decorate(const core::ZelkLibBinding& lib) {
  notInstalled = programPath_.empty() || !lib.FileExist(platform::Utf8ToUtf16(programPath_));
  if (notInstalled) {
    SetToolTip(kInstallHint + description_);
    return;
  }
  const std::string version = VersionPath();
  showNewMark = version.empty() || ReadVersionFile(version).NeedsUpgradeMark();
  if (showNewMark) SetToolTip(kUpgradeHint + description_);
}

skinui::Rect CAppButtonUI::MarkRect() const {
  return {pos_.right - 25, pos_.top + 5, pos_.right - 5, pos_.top + 25};
}

bool CAppButtonUI::MarkContains(skinui::Point point) const {
  const skinui::Rect mark = MarkRect();
  return point.x >= mark.left && point.x <= mark.right && point.y >= mark.top &&
         point.y <= mark.bottom;
}

void CAppButtonUI::PaintBkImage(skinui::Painter& painter) {
  if (!GetBkImage().empty()) {
    const skinui::Rect iconRect{pos_.left + 24, pos_.top + 16, pos_.right - 24, pos_.bottom - 36};
    bool drawn = false;
    try {
      drawn = painter.DrawImage(iconRect, skinui::ParseImageSpec(GetBkImage()));
    } catch (const std::exception&) {
      drawn = false;
    }
    // A missing icon is not looked for again at every paint.
    if (!drawn) SetBkImage("");
  }
  // The marks do not depend on the icon: an app whose icon is gone can still be deleted.
  if (showDeleteMark) {
    painter.DrawImage(MarkRect(), skinui::ParseImageSpec("delete.png"));
  } else if (showNewMark) {
    painter.DrawImage({pos_.right - 25, pos_.top + 5, pos_.right - 5, pos_.top + 20},
                      skinui::ParseImageSpec("New.png"));
  }
}

}  // namespace appcenter
