#include "account/account_controller.h"

#include <algorithm>
#include <string>

#include "account/account_area_layout.h"
#include "net/text_conversion.h"
#include "skinui/window.h"

namespace account {

std::optional<UserCenterUser> AccountController::LoggedInUser() const {
  const SessionState state = session_->Snapshot();
  if (!state.loggedIn) return std::nullopt;
  return UserCenterUser{net::AnsiToWide(state.loginId), net::AnsiToWide(state.nickName)};
}

void AccountController::SetLoggedInUser(std::optional<UserCenterUser> user) {
  session_->Update([&user](SessionState& state) {
    state.loggedIn = user.has_value();
    state.loginId = user ? net::WideToAnsiString(user->loginId) : std::string();
    state.nickName = user ? net::WideToAnsiString(user->nickName) : std::string();
  });
}

void AccountController::ResizeAccountArea(const char* toolBar, const char* area,
                                          const char* topSpacer, const char* leftSpacer) {
  const skinui::Control* appBar = host_.FindControl("appBar");
  const skinui::Control* bar = host_.FindControl(toolBar);
  const skinui::Control* box = host_.FindControl(area);
  skinui::Control* top = host_.FindControl(topSpacer);
  skinui::Control* left = host_.FindControl(leftSpacer);
  if (appBar == nullptr || bar == nullptr || box == nullptr || top == nullptr || left == nullptr) {
    return;
  }
  const skinui::Rect window = host_.OwnerWindow().GetWindowRect();
  const AreaOffsets offsets =
      CentreAccountArea(window.Width(), window.Height(), appBar->GetFixedHeight(),
                        bar->GetFixedHeight(), box->GetFixedWidth(), box->GetFixedHeight());
  // A window smaller than the box puts it at the edge instead of a negative size.
  top->SetAttribute("height", std::to_string(std::max(offsets.top, 0)));
  left->SetAttribute("width", std::to_string(std::max(offsets.left, 0)));
}

void AccountController::DoResizeLoginFrameArea() {
  ResizeAccountArea("MainToolBarAreaForLogin", "vluLoginArea", "hluLoginClientTop",
                    "hluLoginClientLeft");
}

void AccountController::DoResizeRegisterFrameArea() {
  ResizeAccountArea("MainToolBarAreaForLogin", "vluRegisterArea", "hluRegisterClientTop",
                    "hluRegisterClientLeft");
}

void AccountController::DoResizeChangePasswordFrameArea() {
  ResizeAccountArea("MainToolBarAreaForChangePassword", "vluChangePasswordArea",
                    "hluChangePasswordClientTop", "hluChangePasswordClientLeft");
}

// The requests of the account and their replies come with the account's service requests.
void AccountController::ShowLoginFrame() {}
void AccountController::ShowRegisterFrame() {}
void AccountController::ShowChangePasswordFrame() {}
void AccountController::DoLogout() {}
void AccountController::DoLogin(bool) {}
void AccountController::DoRegister() {}
void AccountController::DoChangePassword() {}
void AccountController::OpenForgetPasswordPage() {}
void AccountController::DoSendSMSCode() {}
void AccountController::DoAutoLoginByConfig() {}
void AccountController::Relogin() {}
void AccountController::SendHeartbeat() {}
void AccountController::RefreshSMSCountdown() {}
void AccountController::DoAfterRegister(platform::Payload&) {}
void AccountController::DoAfterLogin(platform::Payload&) {}
void AccountController::DoAfterChangePassword(platform::Payload&) {}
void AccountController::DoAfterSendSMSCode(platform::Payload&) {}

}  // namespace account
