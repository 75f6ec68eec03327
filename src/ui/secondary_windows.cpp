#include "ui/secondary_windows.h"

#include "account/account_controller.h"
#include "net/endpoints.h"
#include "net/service_requests.h"
#include "skinui/ui_context.h"
#include "skinui/window.h"
#include "ui/about_frame.h"
#include "ui/contact_frame.h"
#include "ui/menu_wnd.h"
#include "ui/option_frame.h"
#include "ui/ucenter_menu_wnd.h"
#include "ui/web_pages.h"
#include "ui/wnd_shadow.h"

namespace ui {

namespace {

// Pop-up, visible, clip siblings, clip children, caption and system menu.
constexpr std::uint32_t kPopupStyle = 0x96C80000;

constexpr const char16_t* kRepairEnvText =
    u"本操作将修复电脑中Tamsel的环境配置信息，配置过程中360安全卫士、金山卫士或其它各类安全软件"
    u"会弹出阻止提示框，为了保证配置成功，请用户在弹出提示框上选择允许修改操作。";

}  // namespace

SecondaryWindows::SecondaryWindows(core::FeatureHost& host) : host_(host) {}

SecondaryWindows::~SecondaryWindows() = default;

void SecondaryWindows::SetLinks(WebPages* webPages, account::AccountController* account) {
  webPages_ = webPages;
  account_ = account;
}

skinui::UiContext& SecondaryWindows::Context() {
  return host_.OwnerWindow().GetContext();
}

void SecondaryWindows::InitShadowWindowClass() {
  CWndShadow::Initialize(Context());
}

CAboutFrame& SecondaryWindows::About() {
  if (!about_) about_ = std::make_unique<CAboutFrame>(Context(), host_.Binding());
  about_->EnsureCreated(u"关于Tamsel", kPopupStyle);
  return *about_;
}

CContactFrame& SecondaryWindows::Contact() {
  if (!contact_) contact_ = std::make_unique<CContactFrame>(Context());
  contact_->EnsureCreated(u"快来与我们互动吧", kPopupStyle);
  return *contact_;
}

COptionFrame& SecondaryWindows::Options() {
  if (!options_) {
    options_ = std::make_unique<COptionFrame>(Context(), host_.Binding(), host_.DataDirectory());
  }
  options_->EnsureCreated(u"系统设置", kPopupStyle);
  return *options_;
}

void SecondaryWindows::DoInitializeCommForms() {
  if (webPages_ != nullptr) webPages_->CreateWebWindows();
  Options();
  About();
  Contact();
}

void SecondaryWindows::ShowContactWindow() {
  Contact().Present();
}

void SecondaryWindows::ShowAboutWindow() {
  About().Present();
}

void SecondaryWindows::ShowOptionWindow() {
  Options().Present();
}

void SecondaryWindows::OpenCustomerService() {
  host_.ShellOpen(kCustomerServiceLink);
}

void SecondaryWindows::OpenWebSite() {
  host_.ShellOpen(net::ServiceBaseUrl() + u"/");
}

void SecondaryWindows::OpenHelpPage() {
  host_.ShellOpen(net::BuildServiceUrl(host_.Binding(), net::endpoints::kHelp));
}

void SecondaryWindows::OpenMainMenu(skinui::Point clickPoint) {
  skinui::Window& frame = host_.OwnerWindow();
  CMenuWnd::Open(std::make_unique<CMenuWnd>(Context()), frame, host_.FindControl("menubtn"),
                 clickPoint);
}

void SecondaryWindows::OpenUserCenterMenu(skinui::Point clickPoint) {
  skinui::Window& frame = host_.OwnerWindow();
  CMenuWnd::Open(std::make_unique<CUCenterMenuWnd>(Context()), frame,
                 host_.FindControl("btnMenuForUserCenter"), clickPoint);
}

void SecondaryWindows::OnMainMenuItem(const std::string& item) {
  if (item == "main_menu_item_RepairEnv") {
    host_.ShowMessageBox(0, 0, kRepairEnvText, 160, false);
    const core::ZelkLibBinding& lib = host_.Binding();
    lib.TryRegisterZelkEnviroment(lib.programDirectory(), u"1");
  } else if (item == "main_menu_item_Help") {
    OpenHelpPage();
  } else if (item == "main_menu_item_WebSite") {
    OpenWebSite();
  } else if (item == "main_menu_item_Feedback") {
    if (webPages_ != nullptr) webPages_->ShowFeedbackWindow();
  } else if (item == "main_menu_item_About") {
    ShowAboutWindow();
  } else if (item == "main_menu_item_Exit") {
    Context().Loop().quit(0);
  } else if (item == "main_menu_item_Introduction") {
    if (webPages_ != nullptr) webPages_->ShowIntroduceWindow();
  } else if (item == "main_menu_item_system_option") {
    ShowOptionWindow();
  }
}

void SecondaryWindows::OnUserCenterMenuItem(const std::string& item) {
  if (item == "ucenter_menu_item_UserProfile") {
    if (webPages_ != nullptr) webPages_->ShowUserProfileWindow();
  } else if (item == "ucenter_menu_item_ChangePassword") {
    if (account_ != nullptr) account_->ShowChangePasswordFrame();
  } else if (item == "ucenter_menu_item_Logout") {
    if (account_ != nullptr) account_->DoLogout();
  } else if (item == "ucenter_menu_item_UserMessage") {
    if (webPages_ != nullptr) webPages_->ShowUserMessageWindow();
  }
}

}  // namespace ui
