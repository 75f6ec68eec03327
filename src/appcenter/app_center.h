#pragma once

#include <optional>
#include <string>

#include "appcenter/app_button_store.h"
#include "appcenter/app_download_list.h"
#include "appcenter/app_market_item_ui.h"
#include "appcenter/app_market_view.h"
#include "core/feature_host.h"
#include "knowledge/download_messages.h"
#include "platform/payload.h"

namespace appcenter {

// The app center: categories and pages of apps, the app search, downloading, installing and
// upgrading apps (with the .NET requirement), the fly-to-downloads animation and the download
// manager window. Owned by the main frame, which calls these operations from its start-up steps,
// dispatch tables and message handlers.
class AppCenter {
 public:
  explicit AppCenter(core::FeatureHost& host);
  virtual ~AppCenter();
  AppCenter(const AppCenter&) = delete;
  AppCenter& operator=(const AppCenter&) = delete;

  CAppMarketView& View() { return view_; }
  AppDownloadList& Downloads() { return downloads_; }

  // Rebuilds the category buttons from the service (the first one's selection loads its page).
  virtual void DoInitAppMarketCategory();
  virtual void OnAppCategoryAdd(platform::Payload& payload);
  virtual void OnAppCategorySelect(platform::Payload& payload);
  virtual void OnAppMarketCategorySelected(const std::string& optionName);
  // The search button or Enter in the search box: page 1 of the search, category kept.
  virtual void OnAppMarketSearch();
  virtual void OnAppMarketItemClick(const std::string& name);
  virtual void OnAppMarketPagerClick(const std::string& name);
  virtual void OnNetFrameworkClick(const std::string& name);
  virtual void ShowAppDownloadManager();

  // The download engines' messages about app packages and platform runtimes.
  virtual void OnAppDownloadStarted(const knowledge::DownloadStarted& started);
  virtual void OnAppDownloadProgress(const knowledge::DownloadProgress& progress);
  virtual void OnAppDownloadEnded(const knowledge::DownloadEnded& ended);
  // Frames of any flying icon, whoever started it.
  virtual void OnFlyIconStep(platform::Payload& payload);
  virtual void OnFlyIconEnd(platform::Payload& payload);

  // Loads the view's category and page (with the search box's text) into the list.
  void LoadAppPage();
  // True when no listed app is downloading; otherwise false, and with `showMessage` the user
  // is told to wait.
  bool IsAppCenterIdle(bool showMessage);
  // Opens the app center searched for the text (the home page's missing and outdated apps).
  void SearchApps(const std::u16string& text);
  // The action button of the item at that position of the list.
  void OnAppActionClick(int position);
  void OnDotNetNoteClick(int position);

 protected:
  core::FeatureHost& host_;

 private:
  CAppMarketItemUI* ListItem(int position);
  CAppMarketItemUI* ListItemByPackage(const std::u16string& name);
  void ShowDotNetNeeded(const CAppMarketItemUI& item);
  void StartAppDownload(CAppMarketItemUI& item, AppDownloadList::Entry& entry);
  AppItemEnvironment ItemEnvironment();

  CAppMarketView view_;
  AppButtonStore store_;
  AppDownloadList downloads_;
};

// The number after a control name's prefix ("btnAppMarketItem_3" → 3); nullopt when none.
std::optional<int> NumberAfterPrefix(const std::string& name, std::size_t prefixLength);

}  // namespace appcenter
