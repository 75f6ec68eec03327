#pragma once

#include <string>

#include "core/feature_host.h"
#include "skinui/geometry.h"

namespace appcenter {

// The home page's buttons of installed apps: their store, their pages, the edit mode and the
// version check of installed apps. Operations whose parts are not built yet do nothing.
class HomeAppButtons {
 public:
  explicit HomeAppButtons(core::FeatureHost& host) : host_(host) {}
  virtual ~HomeAppButtons() = default;
  HomeAppButtons(const HomeAppButtons&) = delete;
  HomeAppButtons& operator=(const HomeAppButtons&) = delete;

  virtual void CheckAppVersions();
  virtual void DoRefreshHomeAppButtons();
  virtual void OnHomeAppClick(const std::string& name, skinui::Point point);
  virtual void ToggleHomeAppEditMode();
  virtual void OnHomeAppPagerClick(const std::string& name);

 protected:
  core::FeatureHost& host_;
};

}  // namespace appcenter
