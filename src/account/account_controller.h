#pragma once

#include <optional>
#include <string>

#include "core/feature_host.h"
#include "platform/payload.h"

namespace account {

// The user the user center shows while someone is logged in.
struct UserCenterUser {
  std::u16string loginId;
  std::u16string nickName;
};

// The account of the client's user: the login, register and change-password areas, the
// requests behind them and their replies, automatic login, the heartbeat and the SMS code's
// countdown. Owned by the main frame, which calls these operations from its dispatch tables,
// timers and message handlers. Operations whose requests are not built yet do nothing.
class AccountController {
 public:
  explicit AccountController(core::FeatureHost& host) : host_(host) {}
  virtual ~AccountController() = default;
  AccountController(const AccountController&) = delete;
  AccountController& operator=(const AccountController&) = delete;

  // The logged-in user; none while nobody is logged in.
  const std::optional<UserCenterUser>& LoggedInUser() const { return user_; }
  void SetLoggedInUser(std::optional<UserCenterUser> user) { user_ = std::move(user); }

  virtual void ShowLoginFrame();
  virtual void ShowRegisterFrame();
  // Each centres its area's box in the client part below the caption and the area's tool bar.
  virtual void DoResizeLoginFrameArea();
  virtual void DoResizeRegisterFrameArea();
  virtual void DoResizeChangePasswordFrameArea();

  virtual void DoLogin(bool silent);
  virtual void DoRegister();
  virtual void DoChangePassword();
  virtual void OpenForgetPasswordPage();
  virtual void DoSendSMSCode();
  virtual void DoAutoLoginByConfig();
  virtual void Relogin();
  virtual void SendHeartbeat();
  virtual void RefreshSMSCountdown();

  virtual void DoAfterRegister(platform::Payload& payload);
  virtual void DoAfterLogin(platform::Payload& payload);
  virtual void DoAfterChangePassword(platform::Payload& payload);
  virtual void DoAfterSendSMSCode(platform::Payload& payload);

 protected:
  core::FeatureHost& host_;

 private:
  void ResizeAccountArea(const char* toolBar, const char* area, const char* topSpacer,
                         const char* leftSpacer);

  std::optional<UserCenterUser> user_;
};

}  // namespace account
