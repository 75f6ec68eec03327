// The account in the real program, headless, against the local development service: driven and
// observed only through the automation socket, as a user would use it.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "ui/service_client_test.h"

namespace account {
namespace {

using ui_testing::ClientProcess;
using ui_testing::Eventually;
constexpr const char* kMain = "UIMainFrame";

class AccountClientTest : public ui_testing::ServiceClientTest {
 protected:
  static void Type(ClientProcess& client, const char* name, const std::string& text) {
    ASSERT_TRUE(client.automation()
                    .Call("set_text", {{"window", kMain}, {"name", name}, {"text", text}})["ok"]
                    .asBool())
        << name;
  }
  static void Tick(ClientProcess& client, const char* name, bool ticked) {
    ASSERT_TRUE(client.automation()
                    .Call("check", {{"window", kMain}, {"name", name}, {"selected", ticked}})["ok"]
                    .asBool())
        << name;
  }
  // The text of the message box now shown, answered with OK; empty when none is shown.
  static std::string TakeMessage(ClientProcess& client) {
    const Json::Value box = client.automation().Call("message_box")["message_box"];
    if (!box["shown"].asBool()) return "";
    client.automation().Call("answer_message_box", {{"button", "ok"}});
    return box["text"].asString();
  }
  static std::string Text(ClientProcess& client, const char* name) {
    return client.Control(name)["text"].asString();
  }
  static bool LoggedInShown(ClientProcess& client) {
    return client.Control("vluMainFrame")["shown"].asBool() &&
           client.Control("tluHome_Right_UserCenterDesktop")["value"].asInt() == 2;
  }
};

TEST_F(AccountClientTest, ANewMobileUserRegistersStaysLoggedInAndIsLoggedInSilentlyAfterARestart) {
  auto client = StartClient();
  Idle(*client);
  EXPECT_EQ(client->Control("tluHome_Right_UserCenterDesktop")["value"].asInt(), 0);

  // A wrong password is the service's message.
  ASSERT_TRUE(client->Click("btnLogin"));
  EXPECT_EQ(Text(*client, "lblMainFormCaption"), "登录到Tamsel");
  Type(*client, "txtLoginIdForLogin", "13800000000");
  Type(*client, "txtLoginPwdForLogin", "wrong-one");
  ASSERT_TRUE(client->Click("btnLoginForLogin"));
  Idle(*client);
  EXPECT_EQ(TakeMessage(*client), "帐号或密码错误.");

  // The register area checks what was typed before anything is sent.
  ASSERT_TRUE(client->Click("btnRegisterForLogin"));
  EXPECT_EQ(Text(*client, "lblMainFormCaption"), "注册Tamsel帐号");
  EXPECT_TRUE(client->Control("vluRegisterFrame")["shown"].asBool());
  Type(*client, "txtUserIdForRegister", "abcd@example.cn");
  Type(*client, "txtPasswordForRegister", "Secret12");
  Type(*client, "txtRepeatPasswordForRegister", "Secret12");
  ASSERT_TRUE(client->Click("btnRegisterForRegister"));
  EXPECT_EQ(TakeMessage(*client), "请输入正确的邮箱或手机号码.");
  Type(*client, "txtUserIdForRegister", "abcde@example.cn");
  Type(*client, "txtRepeatPasswordForRegister", "Secret13");
  ASSERT_TRUE(client->Click("btnRegisterForRegister"));
  EXPECT_EQ(TakeMessage(*client), "输入的密码和确认密码不一致.");

  // The SMS code, and its countdown second by second.
  Type(*client, "txtUserIdForRegister", "13912340000");
  ASSERT_TRUE(client->Click("btnGetSMSCodeForRegister"));
  Idle(*client);
  EXPECT_EQ(TakeMessage(*client), "");
  EXPECT_FALSE(client->Control("btnGetSMSCodeForRegister")["enabled"].asBool());
  client->automation().Call("fire_timer", {{"window", kMain}, {"id", 60}});
  EXPECT_EQ(Text(*client, "btnGetSMSCodeForRegister"), "获取短信验证码(120)");
  client->automation().Call("fire_timer", {{"window", kMain}, {"id", 60}});
  EXPECT_EQ(Text(*client, "btnGetSMSCodeForRegister"), "获取短信验证码(119)");

  // Registered, the new user is logged in at once; "automatic" ticks "remember" too.
  Type(*client, "txtRepeatPasswordForRegister", "sECRET12");
  Tick(*client, "opRememberPwdForRegister", false);
  Tick(*client, "opAutoLoginForRegister", true);
  EXPECT_TRUE(client->Control("opRememberPwdForRegister")["selected"].asBool());
  ASSERT_TRUE(client->Click("btnRegisterForRegister"));
  ASSERT_TRUE(Eventually([&] {
    client->automation().Call("wait_idle", {{"timeout_ms", 2000}});
    return LoggedInShown(*client);
  }));
  EXPECT_EQ(TakeMessage(*client), "");
  EXPECT_EQ(Text(*client, "txtUserIdForUserCenter"), "13912340000");
  EXPECT_EQ(Text(*client, "txtNickNameForUserCenter"), "139****0000");
  // New accounts hold a welcome message.
  EXPECT_EQ(Text(*client, "btnUserMessage"), "我的消息(1)");
  const Json::Value notice = client->automation().Call("message_box")["notice"];
  EXPECT_TRUE(notice["shown"].asBool());
  EXPECT_EQ(notice["text"].asString(), "您有(1)条未读消息，请注意查收。");
  const std::string avatar = client->Control("btnUserImageForUserCenter")["bkimage"].asString();
  const std::string avatarName = avatar.substr(avatar.rfind('/') + 1);
  EXPECT_NE(avatar.find("/UserData/"), std::string::npos) << avatar;
  EXPECT_EQ(Get("_dev/requests?path=zelk/UserImages/" + avatarName)["count"].asInt(), 1);

  // An expired sign: the heartbeat logs in again, so the next count still reaches the service.
  EXPECT_GE(Get("_dev/expire-signs")["expired"].asInt(), 1);
  client->automation().Call("fire_timer", {{"window", kMain}, {"id", 30}});
  Idle(*client);
  client->automation().Call("fire_timer", {{"window", kMain}, {"id", 90}});
  Idle(*client);
  EXPECT_EQ(Text(*client, "btnUserMessage"), "我的消息(1)");
  EXPECT_EQ(TakeMessage(*client), "");

  client->automation().Call("quit");
  EXPECT_EQ(client->WaitForExit(), 0);
  client.reset();

  // The stored login logs in silently, and the avatar comes from the cache.
  client = StartClient();
  ASSERT_TRUE(Eventually([&] {
    client->automation().Call("wait_idle", {{"timeout_ms", 2000}});
    return LoggedInShown(*client);
  }));
  EXPECT_EQ(TakeMessage(*client), "");
  EXPECT_EQ(client->Control("btnUserImageForUserCenter")["bkimage"].asString(), avatar);
  EXPECT_EQ(Get("_dev/requests?path=zelk/UserImages/" + avatarName)["count"].asInt(), 1);

  // The notice opens the messages; once read there, the count is 0 and no notice comes.
  ASSERT_TRUE(client->automation().Call("message_box")["notice"]["shown"].asBool());
  ASSERT_TRUE(client->Click("btnMessageContentClick", "UIPopupNotifyFrame"));
  Idle(*client);
  const std::string messagesPage = client->automation()
                                       .Call("browser", {{"window", "UIUserMessageFrame"},
                                                         {"name", "ie_for_user_message"}})["url"]
                                       .asString();
  ASSERT_NE(messagesPage.find("SeedMessageMain.aspx?uid="), std::string::npos) << messagesPage;
  httplib::Client http("127.0.0.1", service_.port());
  ASSERT_TRUE(http.Get(messagesPage.substr(messagesPage.find("/zelk/")).c_str()));
  client->automation().Call("fire_timer", {{"window", kMain}, {"id", 90}});
  Idle(*client);
  EXPECT_EQ(Text(*client, "btnUserMessage"), "我的消息(0)");
  EXPECT_FALSE(client->automation().Call("message_box")["notice"]["shown"].asBool());

  // A password change from the user-center menu: checked first, then the one the next login
  // needs.
  ASSERT_TRUE(client->Click("btnMenuForUserCenter"));
  ASSERT_TRUE(client->Click("ucenter_menu_item_ChangePassword", "UCenterMenuWnd"));
  ASSERT_TRUE(Eventually([&] { return Text(*client, "lblMainFormCaption") == "密码修改"; }));
  ASSERT_TRUE(client->Click("btnChangePassword"));
  EXPECT_EQ(TakeMessage(*client), "请输入旧密码.");
  Type(*client, "txtOldPasswordForChangePassword", "Secret12");
  Type(*client, "txtNewPasswordForChangePassword", "Better34");
  Type(*client, "txtRepeatNewPasswordForChangePassword", "bETTER34");
  ASSERT_TRUE(client->Click("btnChangePassword"));
  Idle(*client);
  EXPECT_EQ(TakeMessage(*client), "密码修改成功，下次登录请记得使用新密码。");
  EXPECT_TRUE(client->Control("vluMainFrame")["shown"].asBool());

  // Logged out from the menu, the stored login (the old password) is refused; the new one
  // logs in, with both options ticked for the next start.
  ASSERT_TRUE(client->Click("btnMenuForUserCenter"));
  ASSERT_TRUE(client->Click("ucenter_menu_item_Logout", "UCenterMenuWnd"));
  ASSERT_TRUE(Eventually(
      [&] { return client->Control("tluHome_Right_UserCenterDesktop")["value"].asInt() == 0; }));
  ASSERT_TRUE(client->Click("btnLogin"));
  EXPECT_EQ(Text(*client, "txtLoginIdForLogin"), "13912340000");
  ASSERT_TRUE(client->Click("btnLoginForLogin"));
  Idle(*client);
  EXPECT_EQ(TakeMessage(*client), "帐号或密码错误.");
  Type(*client, "txtLoginPwdForLogin", "Better34");
  Tick(*client, "opAutoLoginForLogin", true);
  ASSERT_TRUE(client->Click("btnLoginForLogin"));
  ASSERT_TRUE(Eventually([&] {
    client->automation().Call("wait_idle", {{"timeout_ms", 2000}});
    return LoggedInShown(*client);
  }));
  EXPECT_TRUE(client->Control("opRememberPwdForLogin")["selected"].asBool());
}

}  // namespace
}  // namespace account
