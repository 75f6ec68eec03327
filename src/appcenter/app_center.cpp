#include "appcenter/app_center.h"

namespace appcenter {

// The catalogue, the installs and the download manager come with the app center's parts.
void AppCenter::DoInitAppMarketCategory() {}
void AppCenter::OnAppCategoryAdd(platform::Payload&) {}
void AppCenter::OnAppCategorySelect(platform::Payload&) {}
void AppCenter::OnAppMarketCategorySelected(const std::string&) {}
void AppCenter::OnAppMarketSearch() {}
void AppCenter::OnAppMarketItemClick(const std::string&) {}
void AppCenter::OnAppMarketPagerClick(const std::string&) {}
void AppCenter::OnNetFrameworkClick(const std::string&) {}
void AppCenter::ShowAppDownloadManager() {}
void AppCenter::OnAppDownloadStarted(const knowledge::DownloadStarted&) {}
void AppCenter::OnAppDownloadProgress(const knowledge::DownloadProgress&) {}
void AppCenter::OnAppDownloadEnded(const knowledge::DownloadEnded&) {}
void AppCenter::OnFlyIconStep(platform::Payload&) {}
void AppCenter::OnFlyIconEnd(platform::Payload&) {}

}  // namespace appcenter
