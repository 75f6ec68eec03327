#pragma once

#include <cstdint>

#include "appcenter/app_catalogue.h"
#include "appcenter/app_center.h"
#include "appcenter/home_app_buttons.h"
#include "core/window_messages.h"
#include "core/window_payloads.h"
#include "platform/payload.h"
#include "skinui/container.h"
#include "skinui/notify.h"
#include "skinui/paint_manager.h"

namespace appcenter_testing {

// Hands the private messages of the app center and the home buttons to them as the main frame
// does, and adds the app list's rows.
inline void RouteToAppCenter(appcenter::AppCenter& center, appcenter::HomeAppButtons& home,
                             skinui::PaintManager& pm, std::uint32_t message,
                             platform::Payload& payload) {
  using namespace core;
  switch (message) {
    case WM_LIST_ADD_ITEM:
      if (auto item = payload.take<ListItemPayload>()) {
        if (auto* list = pm.TryFind<skinui::Container>(item->listName)) {
          list->Add(std::move(item->item));
        }
      }
      return;
    case WM_VIEW_ENABLE:
      if (auto* enable = payload.get<ViewEnablePayload>()) {
        enable->view->EnableNavigation(enable->enable);
      }
      return;
    case WM_VIEW_SET_PAGER:
      if (auto* pager = payload.get<ViewPagerPayload>()) {
        pager->view->RefreshPageIndexButtons(pager->page, pager->pageCount, pager->total);
      }
      return;
    case WM_APP_CATEGORY_ADD:
      return center.OnAppCategoryAdd(payload);
    case WM_APP_CATEGORY_SELECT:
      return center.OnAppCategorySelect(payload);
    case WM_DOWNLOAD_STARTED:
      if (auto* m = payload.get<knowledge::DownloadStarted>()) center.OnAppDownloadStarted(*m);
      return;
    case WM_DOWNLOAD_PROGRESS:
      if (auto* m = payload.get<knowledge::DownloadProgress>()) center.OnAppDownloadProgress(*m);
      return;
    case WM_DOWNLOAD_ENDED:
      if (auto* m = payload.get<knowledge::DownloadEnded>()) center.OnAppDownloadEnded(*m);
      return;
    case WM_HOME_APPS_REFRESH:
      return home.DoRefreshHomeAppButtons();
    case WM_FLY_ICON_STEP:
      return center.OnFlyIconStep(payload);
    case WM_FLY_ICON_END:
      return center.OnFlyIconEnd(payload);
    default:
      return;
  }
}

// The category options' selection, as the main frame's notification dispatch routes it.
class CategoryNotifier final : public skinui::INotifyUI {
 public:
  explicit CategoryNotifier(appcenter::AppCenter& center) : center_(center) {}
  void Notify(skinui::TNotifyUI& msg) override {
    if (msg.sType == "selectchanged" && msg.pSender != nullptr &&
        msg.pSender->GetName().starts_with(appcenter::kCategoryPrefix)) {
      center_.OnAppMarketCategorySelected(msg.pSender->GetName());
    }
  }

 private:
  appcenter::AppCenter& center_;
};

// The parts of the main window's layout the app center and the home grid work with.
inline constexpr char kAppCenterLayout[] = R"(<Window size="1200,900">
  <VerticalLayout name="Root">
    <HorizontalLayout name="appBar" height="32"/>
    <HorizontalLayout name="MainToolBar" height="88"/>
    <HorizontalLayout>
      <VerticalLayout>
        <HorizontalLayout name="tluHomeAppButtonsTitleBar" height="40">
          <HorizontalLayout name="hluHomeAppPageIndexFillArea" width="300"/>
          <Button name="ouHomApp_Prev"/>
          <Option name="ouHomApp_PageIndex_1"/><Option name="ouHomApp_PageIndex_2"/>
          <Option name="ouHomApp_PageIndex_3"/><Option name="ouHomApp_PageIndex_4"/>
          <Option name="ouHomApp_PageIndex_5"/><Option name="ouHomApp_PageIndex_6"/>
          <Option name="ouHomApp_PageIndex_7"/><Option name="ouHomApp_PageIndex_8"/>
          <Option name="ouHomApp_PageIndex_9"/><Option name="ouHomApp_PageIndex_10"/>
          <Button name="ouHomApp_Next"/>
          <Button name="btnHomeAppEdit" width="64" text="编辑"/>
        </HorizontalLayout>
        <TileLayout name="tluHomeAppButtons"/>
      </VerticalLayout>
      <VerticalLayout name="vluHome_RightClient" width="300"/>
    </HorizontalLayout>
    <HorizontalLayout height="300">
      <VerticalLayout name="vluAppMarketCategory" width="170"/>
      <VerticalLayout>
        <Edit name="txtAppMarketSearchEdit" height="30"/>
        <Button name="btnAppMarketSearch" width="64" height="30"/>
        <Button name="btnAppMarketDownloadMng" width="84" height="30"/>
        <List name="lstAppMarketList"/>
        <HorizontalLayout height="36">
          <HorizontalLayout name="hluAppMarketPageIndexFillArea" width="300"/>
          <Button name="ouAppMarket_Prev"/>
          <Option name="ouAppMarket_PageIndex_1"/><Option name="ouAppMarket_PageIndex_2"/>
          <Option name="ouAppMarket_PageIndex_3"/><Option name="ouAppMarket_PageIndex_4"/>
          <Option name="ouAppMarket_PageIndex_5"/><Option name="ouAppMarket_PageIndex_6"/>
          <Option name="ouAppMarket_PageIndex_7"/><Option name="ouAppMarket_PageIndex_8"/>
          <Option name="ouAppMarket_PageIndex_9"/><Option name="ouAppMarket_PageIndex_10"/>
          <Button name="ouAppMarket_Next"/>
        </HorizontalLayout>
      </VerticalLayout>
    </HorizontalLayout>
    <Option name="quickBar_AppMarket" group="quickBar"/>
  </VerticalLayout>
</Window>)";

}  // namespace appcenter_testing
