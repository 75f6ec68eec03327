// The account on a fake main window built from the shipped layout, against the development
// service through the real support library: what the user types, what the service answers,
// what the session, the stored login and the areas become.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "account/account_controller.h"
#include "account/user_center.h"
#include "core/window_messages.h"
#include "core/window_timers.h"
#include "devservice/router.h"
#include "devservice/state_store.h"
#include "net/text_conversion.h"
#include "platform/code_page.h"
#include "skinui/control.h"
#include "skinui/option.h"
#include "skinui/paint_manager.h"
#include "skinui/tab_layout.h"
#include "skinui/window.h"
#include "support/fake_feature_host.h"
#include "support/local_service.h"

namespace account {
namespace {

std::string Narrow(const std::u16string& text) {
  return platform::Utf16ToUtf8(text);
}

class AccountServiceTest : public ::testing::Test {
 protected:
  AccountServiceTest() {
    platform::SetAnsiCodesetOverride("UTF-8");
    host.SetMessageHandler(
        [this](std::uint32_t message, platform::Payload& payload) { Route(message, payload); });
    account->SetLoginFollowUps({.afterLogin = [this] { ++loginsFollowedUp; },
                                .afterLogout = [this] { ++logoutsFollowedUp; }});
  }
  ~AccountServiceTest() override { platform::SetAnsiCodesetOverride(""); }

  void Route(std::uint32_t message, platform::Payload& payload) {
    switch (message) {
      case core::WM_LOGIN_REPLY:
        return account->DoAfterLogin(payload);
      case core::WM_REGISTER_REPLY:
        return account->DoAfterRegister(payload);
      case core::WM_CHANGE_PASSWORD_REPLY:
        return account->DoAfterChangePassword(payload);
      case core::WM_SMS_CODE_REPLY:
        return account->DoAfterSendSMSCode(payload);
      case core::WM_USER_IMAGE:
        if (const auto* image = payload.get<core::UserImagePayload>())
          userCenter.OnUserImage(*image);
        return;
      case core::WM_UNREAD_MESSAGES:
        if (const auto* unread = payload.get<core::UnreadMessagesPayload>()) {
          unreadCounts.push_back(unread->count);
        }
        return;
      default:
        return;
    }
  }

  skinui::Control& Find(const char* name) {
    skinui::Control* control = host.OwnerWindow().GetPaintManager().FindControl(name);
    EXPECT_NE(control, nullptr) << name;
    return *control;
  }
  void Type(const char* name, const std::u16string& text) { Find(name).SetText(text); }
  void Tick(const char* name, bool ticked) {
    dynamic_cast<skinui::Option&>(Find(name)).Selected(ticked);
  }
  void Settle() { ASSERT_TRUE(ui.loop.waitIdle(60000)); }
  std::u16string LastMessage() const {
    return host.messageBoxes.empty() ? u"" : host.messageBoxes.back().text;
  }
  int Requests(const std::string& path) { return local.service().router().requestCount(path); }

  void LogIn(const std::u16string& id, const std::u16string& password) {
    Type("txtLoginIdForLogin", id);
    Type("txtLoginPwdForLogin", password);
    account->DoLogin(false);
    Settle();
  }

  net_testing::LocalService local;
  const std::string appDirectory = Narrow(local.lib().programDirectory());
  testing_support::HeadlessUi ui;
  testing_support::FakeFeatureHost host{ui.context, local.lib(), appDirectory,
                                        testing_support::StagedLayout("main_frame.xml")};
  std::unique_ptr<AccountController> account = std::make_unique<AccountController>(host);
  UserCenter userCenter{host, account->Session()};
  int loginsFollowedUp = 0;
  int logoutsFollowedUp = 0;
  std::vector<int> unreadCounts;
};

TEST_F(AccountServiceTest, LoginStoresTheLoginShowsTheAvatarAndAFailureShowsTheServicesText) {
  ASSERT_TRUE(local.lib().loaded());
  LogIn(u"13800000000", u"wrong-password");
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0].text, u"帐号或密码错误.");
  EXPECT_EQ(host.messageBoxes[0].iconKind, 2);
  EXPECT_EQ(host.messageBoxes[0].buttonKind, 0);
  EXPECT_EQ(host.messageBoxes[0].height, 160);
  EXPECT_FALSE(host.messageBoxes[0].wait);
  EXPECT_TRUE(Find("btnLoginForLogin").IsEnabled());
  EXPECT_FALSE(account->Session()->loggedIn());

  // Unticking "remember" while "automatic" stays ticked stores automatic login off.
  Tick("opAutoLoginForLogin", true);
  Tick("opRememberPwdForLogin", false);
  Tick("opAutoLoginForLogin", true);
  LogIn(u"13800000000", u"123456");
  const SessionState state = account->Session()->Snapshot();
  EXPECT_TRUE(state.loggedIn);
  EXPECT_GT(state.uid, 0);
  EXPECT_FALSE(state.loginSign.empty());
  EXPECT_EQ(state.nickName, "建工小王");
  EXPECT_EQ(loginsFollowedUp, 1);
  EXPECT_EQ(host.mainFormAreaShown, 1);
  const core::StoredLogin stored = local.lib().LoadLoginData(local.lib().programDirectory());
  EXPECT_EQ(stored.loginId, u"13800000000");
  EXPECT_FALSE(stored.remember);
  EXPECT_FALSE(stored.autoLogin);

  const std::string avatar =
      appDirectory + "/UserData/" + std::to_string(state.uid) + "/UserProfile/avatar_01.png";
  EXPECT_TRUE(std::filesystem::is_regular_file(avatar));
  EXPECT_EQ(Find("btnUserImageForUserCenter").GetBkImage(), avatar);
  EXPECT_EQ(local.logText().find("123456"), std::string::npos) << "the log holds the password";
}

TEST_F(AccountServiceTest, AutomaticLoginIsSilentAndAnExpiredSignIsRenewedByTheHeartbeat) {
  local.lib().SaveLoginData(local.lib().programDirectory(), u"13800000000", u"not-it", true, true);
  account->DoAutoLoginByConfig();
  Settle();
  EXPECT_TRUE(host.messageBoxes.empty()) << Narrow(LastMessage());
  EXPECT_FALSE(account->Session()->loggedIn());

  local.lib().SaveLoginData(local.lib().programDirectory(), u"13800000000", u"123456", true, true);
  account->DoAutoLoginByConfig();
  Settle();
  const SessionState first = account->Session()->Snapshot();
  ASSERT_TRUE(first.loggedIn);

  account->SendHeartbeat();
  Settle();
  EXPECT_EQ(account->Session()->loginSign(), first.loginSign) << "a live sign is kept";

  local.service().state().expireSigns(first.uid);
  account->SendHeartbeat();
  Settle();
  const SessionState renewed = account->Session()->Snapshot();
  EXPECT_TRUE(renewed.loggedIn);
  EXPECT_FALSE(renewed.reloginPending);
  EXPECT_NE(renewed.loginSign, first.loginSign);
  EXPECT_TRUE(host.messageBoxes.empty());

  // Logged out, the heartbeat has nothing to send.
  account->DoLogout();
  Settle();
  const int heartbeats = Requests("auth/auth_verify.aspx");
  account->SendHeartbeat();
  Settle();
  EXPECT_EQ(Requests("auth/auth_verify.aspx"), heartbeats);
}

TEST_F(AccountServiceTest, RegistrationWithAnSmsCodeLogsTheNewUserInWithItsSealedPassword) {
  Type("txtUserIdForRegister", u"13912345678");
  account->DoSendSMSCode();
  EXPECT_FALSE(Find("btnGetSMSCodeForRegister").IsEnabled());
  EXPECT_FALSE(Find("txtUserIdForRegister").IsEnabled());
  Settle();
  EXPECT_TRUE(host.messageBoxes.empty()) << Narrow(LastMessage());
  ASSERT_EQ(host.timersSet.size(), 1u);
  EXPECT_EQ(host.timersSet[0].id, core::kSmsCountdownTimer);
  EXPECT_EQ(host.timersSet[0].periodMs, 1000);

  // The passwords differ only in letter case; "&" and "%" must not break the request.
  Type("txtPasswordForRegister", u"Ab&c%12");
  Type("txtRepeatPasswordForRegister", u"ab&C%12");
  Tick("opRememberPwdForRegister", true);
  account->DoRegister();
  Settle();
  EXPECT_TRUE(host.messageBoxes.empty()) << Narrow(LastMessage());
  EXPECT_EQ(host.uiKind, 1);
  const SessionState state = account->Session()->Snapshot();
  EXPECT_TRUE(state.loggedIn);
  EXPECT_EQ(state.loginId, "13912345678");
  EXPECT_EQ(state.password, "Ab&c%12");

  // A second code for a registered number is refused: the countdown ends and says why.
  account->DoSendSMSCode();
  Settle();
  EXPECT_EQ(LastMessage(), u"该手机号码已注册，请直接登录.");
  EXPECT_TRUE(Find("btnGetSMSCodeForRegister").IsEnabled());
  EXPECT_EQ(Find("btnGetSMSCodeForRegister").GetText(), u"获取短信验证码");
  EXPECT_EQ(host.timersKilled.back(), core::kSmsCountdownTimer);
  EXPECT_EQ(account->SmsCountdown(), 0);
}

TEST_F(AccountServiceTest, TheSmsButtonCountsDownFrom120AndThenOffersANewCode) {
  Type("txtUserIdForRegister", u"13912345670");
  account->DoSendSMSCode();
  for (int shown = 120; shown >= 0; --shown) {
    account->RefreshSMSCountdown();
    ASSERT_EQ(Find("btnGetSMSCodeForRegister").GetText(),
              u"获取短信验证码(" + platform::Utf8ToUtf16(std::to_string(shown)) + u")");
    ASSERT_FALSE(Find("btnGetSMSCodeForRegister").IsEnabled());
  }
  account->RefreshSMSCountdown();
  EXPECT_EQ(Find("btnGetSMSCodeForRegister").GetText(), u"获取短信验证码");
  EXPECT_TRUE(Find("btnGetSMSCodeForRegister").IsEnabled());
  EXPECT_EQ(host.timersKilled.back(), core::kSmsCountdownTimer);
  Settle();
}

TEST_F(AccountServiceTest, AChangedPasswordIsTheOneTheNextLoginNeedsAndLogoutEndsTheSign) {
  LogIn(u"13800000000", u"123456");
  const std::string sign = account->Session()->loginSign();
  ASSERT_FALSE(sign.empty());

  Type("txtOldPasswordForChangePassword", u"654321");
  Type("txtNewPasswordForChangePassword", u"NewPass1");
  Type("txtRepeatNewPasswordForChangePassword", u"newpass1");
  account->DoChangePassword();
  Settle();
  EXPECT_EQ(LastMessage(), u"原密码错误.");
  EXPECT_TRUE(Find("btnChangePassword").IsEnabled());

  Type("txtOldPasswordForChangePassword", u"123456");
  account->DoChangePassword();
  Settle();
  EXPECT_EQ(LastMessage(), u"密码修改成功，下次登录请记得使用新密码。");
  EXPECT_EQ(account->Session()->Snapshot().password, "NewPass1");
  EXPECT_EQ(Find("txtNewPasswordForChangePassword").GetText(), u"");
  EXPECT_EQ(Find("txtLoginPwdForLogin").GetText(), u"NewPass1");

  account->DoLogout();
  EXPECT_FALSE(account->Session()->loggedIn());
  EXPECT_EQ(logoutsFollowedUp, 1);
  EXPECT_EQ(dynamic_cast<skinui::TabLayout&>(Find("tluHome_Right_UserCenterDesktop")).GetCurSel(),
            0);
  Settle();
  EXPECT_NE(local.service().state().checkSign(sign), devservice::SignStatus::kValid);

  const std::size_t boxes = host.messageBoxes.size();
  LogIn(u"13800000000", u"123456");
  EXPECT_EQ(host.messageBoxes.size(), boxes + 1);
  EXPECT_FALSE(account->Session()->loggedIn());
  LogIn(u"13800000000", u"NewPass1");
  EXPECT_TRUE(account->Session()->loggedIn());
}

TEST_F(AccountServiceTest, UnreadMessagesAreCountedForTheLoggedInUserOnly) {
  userCenter.QueryUnreadMessages();
  Settle();
  EXPECT_TRUE(unreadCounts.empty());
  LogIn(u"13800000000", u"123456");
  userCenter.QueryUnreadMessages();
  Settle();
  ASSERT_EQ(unreadCounts.size(), 1u);
  EXPECT_EQ(unreadCounts[0], 3);

  // A sign the service no longer knows reads as nothing unread.
  local.service().state().expireSigns(account->Session()->uid());
  userCenter.QueryUnreadMessages();
  Settle();
  ASSERT_EQ(unreadCounts.size(), 2u);
  EXPECT_EQ(unreadCounts[1], 0);
}

}  // namespace
}  // namespace account
