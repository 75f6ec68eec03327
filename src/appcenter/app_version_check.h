#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "core/service_context.h"

namespace appcenter {

// One installed app the version check asks about.
struct InstalledApp {
  std::u16string appName;
  std::string versionPath;  // its Version.txt; empty when its name is unusable
};

// The body of the version request: "appNames=" and the apps' names joined with ",".
std::u16string AppVersionsBody(const std::vector<InstalledApp>& apps);

// The worker of the version check: posts the body, and for each app whose installed version
// differs from the service's rewrites its Version.txt with the upgrade flag (after the grid has
// been filled), then asks for the grid again with WM_HOME_APPS_REFRESH. Pauses go through the
// loop's clock.
void RunAppVersionCheck(const core::ServiceContext& context, const std::u16string& url,
                        const std::u16string& body, const std::vector<InstalledApp>& apps,
                        const std::shared_ptr<std::atomic<bool>>& building);

}  // namespace appcenter
