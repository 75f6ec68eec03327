#include "appcenter/app_market_item_state.h"

namespace appcenter {
namespace {

std::string StripPart(const char* file, int part, int height) {
  return "file='" + std::string(file) + "' source='" + std::to_string(part * 60) + ",0," +
         std::to_string(part * 60 + 60) + "," + std::to_string(height) + "'";
}

StateButtonLook Look(AppMarketItemState state, std::u16string text) {
  const char* file = "button/install.png";
  int height = 23;
  switch (state) {
    case AppMarketItemState::NotInstalled:
      break;
    case AppMarketItemState::Installed:
      file = "button/open.png";
      break;
    case AppMarketItemState::Upgradable:
      file = "button/update.png";
      break;
    case AppMarketItemState::Downloading:
      file = "button/cancel.png";
      height = 26;
      break;
  }
  return {std::move(text), StripPart(file, 0, height), StripPart(file, 1, height),
          StripPart(file, 2, height)};
}

}  // namespace

StateButtonLook CatalogueButtonLook(AppMarketItemState state) {
  switch (state) {
    case AppMarketItemState::Installed:
      return Look(state, u"启动");
    case AppMarketItemState::Upgradable:
      return Look(state, u"升级");
    case AppMarketItemState::Downloading:
      return Look(state, u"取消");
    case AppMarketItemState::NotInstalled:
      break;
  }
  return Look(AppMarketItemState::NotInstalled, u"安装");
}

StateButtonLook ManagerButtonLook(AppMarketItemState state) {
  switch (state) {
    case AppMarketItemState::Installed:
      return Look(state, u"打开应用");
    case AppMarketItemState::Upgradable:
      return Look(state, u"立即升级");
    case AppMarketItemState::Downloading:
      return Look(state, u"取消");
    case AppMarketItemState::NotInstalled:
      break;
  }
  return Look(AppMarketItemState::NotInstalled, u"立即安装");
}

}  // namespace appcenter
