#include "account/account_controller.h"

#include <algorithm>
#include <array>
#include <string>

#include "account/account_area_layout.h"
#include "account/account_input_checks.h"
#include "account/account_requests.h"
#include "account/login_worker.h"
#include "core/window_messages.h"
#include "core/window_payloads.h"
#include "core/window_timers.h"
#include "net/endpoints.h"
#include "net/service_requests.h"
#include "net/text_conversion.h"
#include "platform/code_page.h"
#include "skinui/option.h"
#include "skinui/paint_manager.h"
#include "skinui/tab_layout.h"
#include "skinui/window.h"

namespace account {
namespace {

constexpr char kLoginFrame[] = "vluLoginFrame";
constexpr char kRegisterFrame[] = "vluRegisterFrame";
constexpr char kChangePasswordFrame[] = "vluChangePasswordFrame";

constexpr char kLoginId[] = "txtLoginIdForLogin";
constexpr char kLoginPassword[] = "txtLoginPwdForLogin";
constexpr char kLoginRemember[] = "opRememberPwdForLogin";
constexpr char kLoginAuto[] = "opAutoLoginForLogin";

constexpr char kRegisterId[] = "txtUserIdForRegister";
constexpr char kRegisterPassword[] = "txtPasswordForRegister";
constexpr char kRegisterRepeat[] = "txtRepeatPasswordForRegister";
constexpr char kRegisterRemember[] = "opRememberPwdForRegister";
constexpr char kRegisterAuto[] = "opAutoLoginForRegister";
constexpr char kSmsButton[] = "btnGetSMSCodeForRegister";
constexpr char16_t kSmsButtonText[] = u"获取短信验证码";

constexpr char kOldPassword[] = "txtOldPasswordForChangePassword";
constexpr char kNewPassword[] = "txtNewPasswordForChangePassword";
constexpr char kRepeatNewPassword[] = "txtRepeatNewPasswordForChangePassword";

// What a running request locks in each area until its reply is back.
constexpr std::array<std::string_view, 8> kLoginInputs = {
    "btnLogin", "btnRegister",  "btnCancelForLogin", "btnLoginForLogin",
    kLoginId,   kLoginPassword, kLoginRemember,      kLoginAuto};
constexpr std::array<std::string_view, 7> kRegisterInputs = {
    "btnRegisterForRegister", "btnCancelForRegister", kRegisterId,  kRegisterPassword,
    kRegisterRepeat,          kRegisterRemember,      kRegisterAuto};
constexpr std::array<std::string_view, 5> kChangePasswordInputs = {
    "btnChangePassword", "btnCancelForChangePassword", kOldPassword, kNewPassword,
    kRepeatNewPassword};

// Every message of the account is an error box that does not wait.
constexpr int kErrorIcon = 2;
constexpr int kOkButton = 0;
constexpr int kBoxHeight = 160;

std::string Ansi(const std::u16string& text) {
  return net::WideToAnsiString(text);
}
std::u16string Wide(const std::string& ansi) {
  return net::AnsiToWide(ansi);
}

// The service reports success with a positive result; 0 and below are failures with a message.
bool Succeeded(std::int32_t result) {
  return result > 0;
}

}  // namespace

std::optional<UserCenterUser> AccountController::LoggedInUser() const {
  const SessionState state = session_->Snapshot();
  if (!state.loggedIn) return std::nullopt;
  return UserCenterUser{Wide(state.loginId), Wide(state.nickName)};
}

void AccountController::SetLoggedInUser(std::optional<UserCenterUser> user) {
  session_->Update([&user](SessionState& state) {
    state.loggedIn = user.has_value();
    state.loginId = user ? Ansi(user->loginId) : std::string();
    state.nickName = user ? Ansi(user->nickName) : std::string();
  });
}

// ---------------------------------------------------------------------------------------------
// Controls

std::u16string AccountController::TextOf(std::string_view name) {
  const skinui::Control* control = host_.FindControl(name);
  return control != nullptr ? control->GetText() : std::u16string();
}

void AccountController::SetTextOf(std::string_view name, const std::u16string& text) {
  if (skinui::Control* control = host_.FindControl(name)) control->SetText(text);
}

bool AccountController::IsTicked(std::string_view name) {
  const auto* option = host_.Find<skinui::Option>(name);
  return option != nullptr && option->IsSelected();
}

void AccountController::Tick(std::string_view name, bool ticked) {
  if (auto* option = host_.Find<skinui::Option>(name)) option->Selected(ticked);
}

void AccountController::Enable(std::span<const std::string_view> names, bool enable) {
  for (const std::string_view name : names) {
    if (skinui::Control* control = host_.FindControl(name)) control->SetEnabled(enable);
  }
}

void AccountController::ShowMessage(const std::u16string& text) {
  host_.ShowMessageBox(kErrorIcon, kOkButton, text, kBoxHeight, /*wait=*/false);
}

// ---------------------------------------------------------------------------------------------
// Areas

void AccountController::ShowArea(std::string_view area, const char16_t* caption) {
  SetTextOf("lblMainFormCaption", caption);
  for (const std::string_view other :
       {std::string_view(kChangePasswordFrame), std::string_view("vluMainFrame"),
        std::string_view(kRegisterFrame), std::string_view(kLoginFrame)}) {
    if (other == area) continue;
    if (skinui::Control* control = host_.FindControl(other)) control->SetVisible(false);
  }
  if (skinui::Control* shown = host_.FindControl(area)) shown->SetVisible(true);
}

void AccountController::ShowLoginFrame() {
  host_.SetUIKind(1);
  ShowArea(kLoginFrame, u"登录到Tamsel");
  DoResizeLoginFrameArea();
  FillLoginFrame();
}

void AccountController::ShowRegisterFrame() {
  host_.SetUIKind(2);
  ShowArea(kRegisterFrame, u"注册Tamsel帐号");
  DoResizeRegisterFrameArea();
}

void AccountController::ShowChangePasswordFrame() {
  ShowArea(kChangePasswordFrame, u"密码修改");
  DoResizeChangePasswordFrameArea();
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

// ---------------------------------------------------------------------------------------------
// Stored login

void AccountController::LoadLoginSettings() {
  const core::StoredLogin stored = host_.Binding().LoadLoginData(Wide(host_.DataDirectory()));
  session_->Update([&stored](SessionState& state) {
    state.loginId = Ansi(stored.loginId);
    state.password = Ansi(stored.password);
    state.rememberPassword = stored.remember;
    state.autoLogin = stored.autoLogin;
  });
}

void AccountController::FillLoginFrame() {
  LoadLoginSettings();
  const SessionState state = session_->Snapshot();
  SetTextOf(kLoginId, Wide(state.loginId));
  if (state.rememberPassword) SetTextOf(kLoginPassword, Wide(state.password));
  Tick(kLoginRemember, state.rememberPassword);
  Tick(kLoginAuto, state.autoLogin);
}

void AccountController::SaveLoginSettings() {
  const SessionState state = session_->Snapshot();
  host_.Binding().SaveLoginData(Wide(host_.DataDirectory()), Wide(state.loginId),
                                Wide(state.password), state.rememberPassword, state.autoLogin);
}

// ---------------------------------------------------------------------------------------------
// Login

void AccountController::DoAutoLoginByConfig() {
  FillLoginFrame();
  if (!TextOf(kLoginId).empty() && !TextOf(kLoginPassword).empty() && IsTicked(kLoginAuto)) {
    DoLogin(/*silent=*/true);
  }
}

void AccountController::DoLogin(bool silent) {
  const std::u16string loginId = TextOf(kLoginId);
  const std::u16string password = TextOf(kLoginPassword);
  if (const std::u16string problem = CheckLoginInput(loginId, password); !problem.empty()) {
    if (!silent) ShowMessage(problem);
    return;
  }
  Enable(kLoginInputs, false);
  session_->Update([silent](SessionState& state) { state.silentLogin = silent; });
  StartLoginWorker(host_.Service(), session_, Ansi(loginId), Ansi(password));
}

void AccountController::Relogin() {
  BeginRelogin(host_.Service(), session_);
}

void AccountController::DoAfterLogin(platform::Payload& payload) {
  Enable(kLoginInputs, true);
  const auto* reply = payload.get<core::LoginReplyPayload>();
  if (reply == nullptr) return;
  if (!Succeeded(reply->result)) {
    host_.Log(u"DoAfterLogin:" + Wide(reply->msg));
    if (!session_->Snapshot().silentLogin) ShowMessage(Wide(reply->msg));
    return;
  }
  const bool remember = IsTicked(kLoginRemember);
  const bool autoLogin = remember && IsTicked(kLoginAuto);
  const std::string loginId = Ansi(TextOf(kLoginId));
  const std::string password = Ansi(TextOf(kLoginPassword));
  session_->Update([&](SessionState& state) {
    state.loginId = loginId;
    state.password = password;
    state.rememberPassword = remember;
    state.autoLogin = autoLogin;
    state.uid = reply->uid;
    state.loginSign = reply->loginSign;
    state.nickName = reply->nickName;
    state.imageUrl = reply->imageUrl;
    state.loggedIn = true;
  });
  SaveLoginSettings();
  host_.ShowMainFormArea();
  if (followUps_.afterLogin) followUps_.afterLogin();
}

void AccountController::SendHeartbeat() {
  const SessionState state = session_->Snapshot();
  if (!state.loggedIn && !state.reloginPending) return;
  const core::ServiceContext context = host_.Service();
  context.loop->startWorker([context, session = session_] {
    const SessionState now = session->Snapshot();
    if (now.loginSign.empty() && !now.reloginPending) return;
    if (RequestHeartbeat(context, now.loginSign) == HeartbeatAnswer::kExpired) {
      BeginRelogin(context, session);
    }
  });
}

// ---------------------------------------------------------------------------------------------
// Registration

void AccountController::DoRegister() {
  const core::ZelkLibBinding& lib = host_.Binding();
  const std::u16string typedId = TextOf(kRegisterId);
  const std::u16string userId = lib.GetTrueMobileNumber(typedId);
  const std::u16string password = TextOf(kRegisterPassword);
  if (const std::u16string problem =
          CheckRegisterInput(userId, lib.IsMobileNumber(userId), password, TextOf(kRegisterRepeat));
      !problem.empty()) {
    ShowMessage(problem);
    return;
  }
  Enable(kRegisterInputs, false);
  const core::ServiceContext context = host_.Service();
  context.loop->startWorker(
      [context, userId = Ansi(userId), password = Ansi(password), nickName = Ansi(typedId)] {
        context.postToMainWindow(core::WM_REGISTER_REPLY,
                                 platform::Payload::make<core::AccountReplyPayload>(
                                     RequestRegister(context, userId, password, nickName)));
      });
}

void AccountController::DoAfterRegister(platform::Payload& payload) {
  Enable(kRegisterInputs, true);
  const auto* reply = payload.get<core::AccountReplyPayload>();
  if (reply == nullptr) return;
  if (!Succeeded(reply->result)) {
    ShowMessage(Wide(reply->msg));
    return;
  }
  const std::string loginId = Ansi(TextOf(kRegisterId));
  const std::string password = Ansi(TextOf(kRegisterPassword));
  const bool remember = IsTicked(kRegisterRemember);
  const bool autoLogin = IsTicked(kRegisterAuto);
  session_->Update([&](SessionState& state) {
    state.loginId = loginId;
    state.password = password;
    state.rememberPassword = remember;
    state.autoLogin = autoLogin;
    state.ForgetUser();
  });
  SaveLoginSettings();
  ShowLoginFrame();
  // A password that is not remembered is not filled in: the new account's still goes in.
  if (!remember) SetTextOf(kLoginPassword, Wide(password));
  DoLogin(/*silent=*/false);
}

void AccountController::DoSendSMSCode() {
  smsCountdown_ = 0;
  const core::ZelkLibBinding& lib = host_.Binding();
  const std::u16string mobile = lib.GetTrueMobileNumber(TextOf(kRegisterId));
  if (!lib.IsMobileNumber(mobile)) {
    ShowMessage(u"请输入正确的手机号码.");
    return;
  }
  const core::ServiceContext context = host_.Service();
  context.loop->startWorker([context, mobile = Ansi(mobile)] {
    context.postToMainWindow(
        core::WM_SMS_CODE_REPLY,
        platform::Payload::make<core::AccountReplyPayload>(RequestSmsCode(context, mobile)));
  });
  host_.SetTimer(core::kSmsCountdownTimer, 1000);
  EnableSMSCodeInput(false);
}

void AccountController::RefreshSMSCountdown() {
  // The button shows every number down to 0 for a second; the second after 0 it is offered
  // again.
  const int remaining = kSmsCountdownSeconds - smsCountdown_;
  if (remaining < 0) {
    StopSmsCountdown();
    return;
  }
  SetTextOf(kSmsButton, kSmsButtonText + (u"(" + Wide(std::to_string(remaining)) + u")"));
  ++smsCountdown_;
}

void AccountController::StopSmsCountdown() {
  smsCountdown_ = 0;
  EnableSMSCodeInput(true);
  host_.KillTimer(core::kSmsCountdownTimer);
}

void AccountController::EnableSMSCodeInput(bool enable) {
  Enable(std::array<std::string_view, 2>{kSmsButton, kRegisterId}, enable);
  if (enable) SetTextOf(kSmsButton, kSmsButtonText);
}

void AccountController::DoAfterSendSMSCode(platform::Payload& payload) {
  const auto* reply = payload.get<core::AccountReplyPayload>();
  if (reply == nullptr || reply->result == 1) return;
  StopSmsCountdown();
  host_.Log(u"DoAfterSendSMSCode:" + Wide(reply->msg));
  ShowMessage(Wide(reply->msg));
}

// ---------------------------------------------------------------------------------------------
// Password change, logout, forgotten password

void AccountController::DoChangePassword() {
  const std::u16string oldPassword = TextOf(kOldPassword);
  const std::u16string newPassword = TextOf(kNewPassword);
  if (const std::u16string problem =
          CheckChangePasswordInput(oldPassword, newPassword, TextOf(kRepeatNewPassword));
      !problem.empty()) {
    ShowMessage(problem);
    return;
  }
  Enable(kChangePasswordInputs, false);
  const SessionState state = session_->Snapshot();
  const core::ServiceContext context = host_.Service();
  context.loop->startWorker([context, uid = state.uid, sign = state.loginSign,
                             oldPassword = Ansi(oldPassword), newPassword = Ansi(newPassword)] {
    context.postToMainWindow(
        core::WM_CHANGE_PASSWORD_REPLY,
        platform::Payload::make<core::AccountReplyPayload>(
            RequestChangePassword(context, uid, sign, oldPassword, newPassword)));
  });
}

void AccountController::DoAfterChangePassword(platform::Payload& payload) {
  Enable(kChangePasswordInputs, true);
  const auto* reply = payload.get<core::AccountReplyPayload>();
  if (reply == nullptr) return;
  if (!Succeeded(reply->result)) {
    ShowMessage(Wide(reply->msg));
    return;
  }
  ShowMessage(u"密码修改成功，下次登录请记得使用新密码。");
  const std::u16string newPassword = TextOf(kNewPassword);
  session_->Update([&newPassword](SessionState& state) { state.password = Ansi(newPassword); });
  // A later login of this session (the heartbeat's) reads the login area: it must not take the
  // old password back from there.
  SetTextOf(kLoginPassword, newPassword);
  host_.ShowMainFormArea();
  for (const char* name : {kOldPassword, kNewPassword, kRepeatNewPassword}) SetTextOf(name, u"");
}

void AccountController::DoLogout() {
  if (!session_->loggedIn()) return;
  // The session is the logged-out one at once, so that what refreshes below already sees it;
  // the service learns of it on a worker. Without a sign there is nothing to end.
  std::string sign;
  session_->Update([&sign](SessionState& state) {
    if (state.loginSign.empty()) return;
    sign = state.loginSign;
    state.ForgetUser();
  });
  if (!sign.empty()) {
    const core::ServiceContext context = host_.Service();
    context.loop->startWorker([context, sign] { RequestLogout(context, sign); });
  }
  if (auto* userCenter = host_.Find<skinui::TabLayout>("tluHome_Right_UserCenterDesktop")) {
    userCenter->SelectItem(0);
  }
  if (followUps_.afterLogout) followUps_.afterLogout();
  DoResizeLoginFrameArea();
  DoResizeRegisterFrameArea();
  DoResizeChangePasswordFrameArea();
}

void AccountController::OpenForgetPasswordPage() {
  host_.ShellOpen(net::BuildServiceUrl(host_.Binding(), net::endpoints::kForgetPassword));
}

}  // namespace account
