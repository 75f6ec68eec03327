#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "account/user_session.h"
#include "core/feature_host.h"
#include "platform/payload.h"

namespace account {

// The user the user center shows while someone is logged in.
struct UserCenterUser {
  std::u16string loginId;
  std::u16string nickName;
};

// What other features redo when the user changes: the frame wires them, as the account knows
// no feature above it.
struct LoginFollowUps {
  std::function<void()> afterLogin;   // the knowledge queue, the question tab, unread messages
  std::function<void()> afterLogout;  // the knowledge download list, the question tab
};

// The SMS code button counts down this many seconds before it offers a new code.
inline constexpr int kSmsCountdownSeconds = 120;

// The account of the client's user: the login, register and change-password areas, the
// requests behind them and their replies, automatic login, the heartbeat and the SMS code's
// countdown. Owned by the main frame, which calls these operations from its dispatch tables,
// timers and message handlers. Requests run on workers; their replies come back as the frame's
// private messages.
class AccountController {
 public:
  explicit AccountController(core::FeatureHost& host) : host_(host) {}
  virtual ~AccountController() = default;
  AccountController(const AccountController&) = delete;
  AccountController& operator=(const AccountController&) = delete;

  // The login session, shared with the features that need the user's id and sign.
  const std::shared_ptr<UserSession>& Session() const { return session_; }
  void SetLoginFollowUps(LoginFollowUps followUps) { followUps_ = std::move(followUps); }

  // The logged-in user; none while nobody is logged in.
  std::optional<UserCenterUser> LoggedInUser() const;
  void SetLoggedInUser(std::optional<UserCenterUser> user);

  virtual void ShowLoginFrame();
  virtual void ShowRegisterFrame();
  virtual void ShowChangePasswordFrame();
  // Each centres its area's box in the client part below the caption and the area's tool bar.
  virtual void DoResizeLoginFrameArea();
  virtual void DoResizeRegisterFrameArea();
  virtual void DoResizeChangePasswordFrameArea();

  // The stored login into the session, and from there into the login area.
  void LoadLoginSettings();
  void FillLoginFrame();
  void SaveLoginSettings();

  virtual void DoLogin(bool silent);
  virtual void DoRegister();
  virtual void DoChangePassword();
  virtual void DoLogout();
  virtual void OpenForgetPasswordPage();
  virtual void DoSendSMSCode();
  virtual void DoAutoLoginByConfig();
  virtual void Relogin();
  virtual void SendHeartbeat();
  virtual void RefreshSMSCountdown();
  void EnableSMSCodeInput(bool enable);

  virtual void DoAfterRegister(platform::Payload& payload);
  virtual void DoAfterLogin(platform::Payload& payload);
  virtual void DoAfterChangePassword(platform::Payload& payload);
  virtual void DoAfterSendSMSCode(platform::Payload& payload);

  // Seconds of the SMS countdown shown so far; 0 while none runs.
  int SmsCountdown() const { return smsCountdown_; }

 protected:
  core::FeatureHost& host_;

 private:
  void ResizeAccountArea(const char* toolBar, const char* area, const char* topSpacer,
                         const char* leftSpacer);
  void ShowArea(std::string_view area, const char16_t* caption);
  void Enable(std::span<const std::string_view> names, bool enable);
  std::u16string TextOf(std::string_view name);
  void SetTextOf(std::string_view name, const std::u16string& text);
  bool IsTicked(std::string_view name);
  void Tick(std::string_view name, bool ticked);
  void ShowMessage(const std::u16string& text);
  void StopSmsCountdown();

  std::shared_ptr<UserSession> session_ = std::make_shared<UserSession>();
  LoginFollowUps followUps_;
  int smsCountdown_ = 0;
};

}  // namespace account
