#pragma once

#include <string>

#include "core/feature_host.h"
#include "skinui/geometry.h"

namespace ui {

// The windows beside the main window that belong to no feature: the shared secondary windows
// (created once, hidden on close), the main and user-center menus, the contact window, the
// window shadow's class, and the service's web site and customer service. Operations whose
// windows are not built yet do nothing.
class SecondaryWindows {
 public:
  explicit SecondaryWindows(core::FeatureHost& host) : host_(host) {}
  virtual ~SecondaryWindows() = default;
  SecondaryWindows(const SecondaryWindows&) = delete;
  SecondaryWindows& operator=(const SecondaryWindows&) = delete;

  virtual void InitShadowWindowClass();
  virtual void DoInitializeCommForms();
  virtual void OpenMainMenu(skinui::Point clickPoint);
  virtual void OpenUserCenterMenu(skinui::Point clickPoint);
  virtual void OnMainMenuItem(const std::string& item);
  virtual void OnUserCenterMenuItem(const std::string& item);
  virtual void ShowContactWindow();
  virtual void OpenCustomerService();
  // Opens the service's web site in the default browser.
  virtual void OpenWebSite();

 protected:
  core::FeatureHost& host_;
};

}  // namespace ui
