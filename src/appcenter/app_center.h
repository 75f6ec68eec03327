#pragma once

#include <string>

#include "appcenter/app_market_view.h"
#include "core/feature_host.h"
#include "knowledge/download_messages.h"
#include "platform/payload.h"

namespace appcenter {

// The app center: categories and pages of apps, the app search, downloading, installing and
// upgrading apps (with the .NET requirement), the fly-to-downloads animation and the download
// manager window. Owned by the main frame, which calls these operations from its start-up steps,
// dispatch tables and message handlers. Operations whose parts are not built yet do nothing.
class AppCenter {
 public:
  explicit AppCenter(core::FeatureHost& host) : host_(host), view_(&host.OwnerWindow()) {}
  virtual ~AppCenter() = default;
  AppCenter(const AppCenter&) = delete;
  AppCenter& operator=(const AppCenter&) = delete;

  CAppMarketView& View() { return view_; }

  virtual void DoInitAppMarketCategory();
  virtual void OnAppCategoryAdd(platform::Payload& payload);
  virtual void OnAppCategorySelect(platform::Payload& payload);
  virtual void OnAppMarketCategorySelected(const std::string& optionName);
  virtual void OnAppMarketSearch();
  virtual void OnAppMarketItemClick(const std::string& name);
  virtual void OnAppMarketPagerClick(const std::string& name);
  virtual void OnNetFrameworkClick(const std::string& name);
  virtual void ShowAppDownloadManager();

  // The download engines' messages about app packages and platform runtimes.
  virtual void OnAppDownloadStarted(const knowledge::DownloadStarted& started);
  virtual void OnAppDownloadProgress(const knowledge::DownloadProgress& progress);
  virtual void OnAppDownloadEnded(const knowledge::DownloadEnded& ended);
  virtual void OnFlyIconStep(platform::Payload& payload);
  virtual void OnFlyIconEnd(platform::Payload& payload);

 protected:
  core::FeatureHost& host_;

 private:
  CAppMarketView view_;
};

}  // namespace appcenter
