#pragma once

#include <memory>
#include <string>

#include "core/feature_host.h"
#include "skinui/geometry.h"

namespace account {
class AccountController;
}  // namespace account

namespace skinui {
class UiContext;
}  // namespace skinui

namespace ui {

class CAboutFrame;
class CContactFrame;
class COptionFrame;
class WebPages;

// The windows beside the main window that belong to no feature: the shared secondary windows
// (created once, hidden on close), the main and user-center menus and what their items do, the
// window shadow's class, and the service's web site and customer service.
class SecondaryWindows {
 public:
  // The customer service's instant-messaging address.
  static constexpr const char16_t* kCustomerServiceLink = u"tencent://message/?uin=800016188";

  explicit SecondaryWindows(core::FeatureHost& host);
  virtual ~SecondaryWindows();
  SecondaryWindows(const SecondaryWindows&) = delete;
  SecondaryWindows& operator=(const SecondaryWindows&) = delete;

  // The web windows among the shared windows, and the account whose operations the user-center
  // menu offers.
  void SetLinks(WebPages* webPages, account::AccountController* account);

  virtual void InitShadowWindowClass();
  // Creates the shared windows that do not exist yet, hidden.
  virtual void DoInitializeCommForms();
  virtual void OpenMainMenu(skinui::Point clickPoint);
  virtual void OpenUserCenterMenu(skinui::Point clickPoint);
  virtual void OnMainMenuItem(const std::string& item);
  virtual void OnUserCenterMenuItem(const std::string& item);
  virtual void ShowContactWindow();
  virtual void ShowAboutWindow();
  virtual void ShowOptionWindow();
  virtual void OpenCustomerService();
  // Opens the service's web site in the default browser.
  virtual void OpenWebSite();
  // Opens the service's help page in the default browser.
  virtual void OpenHelpPage();

 protected:
  core::FeatureHost& host_;

 private:
  skinui::UiContext& Context();
  CAboutFrame& About();
  CContactFrame& Contact();
  COptionFrame& Options();

  WebPages* webPages_ = nullptr;
  account::AccountController* account_ = nullptr;
  std::unique_ptr<CAboutFrame> about_;
  std::unique_ptr<CContactFrame> contact_;
  std::unique_ptr<COptionFrame> options_;
};

}  // namespace ui
