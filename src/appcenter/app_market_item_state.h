#pragma once

#include <string>

namespace appcenter {

// An app's local state, which decides what its action button does.
enum class AppMarketItemState : int {
  NotInstalled = 0,  // "安装"
  Installed = 1,     // "启动"
  Upgradable = 2,    // "升级"
  Downloading = 3,   // "取消"
};

// The action button of a state: its text and the three parts of its image strip (normal, hot
// and pushed side by side, 60 pixels each).
struct StateButtonLook {
  std::u16string text;
  std::string normalImage;
  std::string hotImage;
  std::string pushedImage;
};

// The look in the app center's list.
StateButtonLook CatalogueButtonLook(AppMarketItemState state);
// The look in the download manager window: the same strips, longer texts ("立即安装" …).
StateButtonLook ManagerButtonLook(AppMarketItemState state);

}  // namespace appcenter
