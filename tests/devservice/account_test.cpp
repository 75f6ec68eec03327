// Login, heartbeat and sign expiry, logout, registration with an SMS code, password change,
// permissions and messages against the running service.

#include <gtest/gtest.h>

#include <algorithm>

#include "devservice/service_log.h"
#include "devservice/state_store.h"
#include "platform/paths.h"
#include "service_fixture.h"

namespace devservice {
namespace {

bool AllOf(const std::string& text, std::size_t length, const std::string& characters) {
  return text.size() == length && std::all_of(text.begin(), text.end(), [&](char c) {
           return characters.find(c) != std::string::npos;
         });
}

class Accounts : public ServiceFixture {
 protected:
  Json::Value heartbeat(const std::string& sign) {
    return getJson("/auth/auth_verify.aspx?kind=3&loginSign=" + sign);
  }
  Json::Value requestSmsCode(const std::string& mobile) {
    return getJson("/auth/auth_verify.aspx?kind=7&user_id=" + Seal(mobile));
  }
  Json::Value registerAccount(const std::string& id, const std::string& password,
                              const std::string& extra = "") {
    return getJson("/auth/auth_verify.aspx?kind=2&user_id=" + Seal(id) + "&pwd=" + Seal(password) +
                   "&nick_name=" + id + extra);
  }
  // The code as the service keeps it in its state folder.
  std::string smsCodeFromState(const std::string& mobile) {
    std::string text;
    EXPECT_TRUE(platform::ReadWholeFile(stateDir_.path() + "/state/state.json", text));
    const Json::Value state = ParseJsonObject(text);
    for (const Json::Value& code : state["smsCodes"]) {
      if (code["mobile"].asString() == mobile) return code["code"].asString();
    }
    return {};
  }
};

TEST_F(Accounts, LoginAnswersUidSignNickNameAndAvatarAndTheHeartbeatSeesTheSignExpire) {
  const Json::Value session = login();
  ASSERT_EQ(session["result"].asInt(), 1) << session["msg"].asString();
  EXPECT_EQ(session["uid"].asInt(), 10001);
  EXPECT_EQ(session["nickName"].asString(), "建工小王");
  EXPECT_TRUE(AllOf(session["returnValue"].asString(), 32, "0123456789abcdef"));
  EXPECT_TRUE(session["imageUrl"].asString().ends_with("/zelk/UserImages/avatar_01.png"));
  const std::string sign = session["returnValue"].asString();

  Json::Value beat = heartbeat(sign);
  EXPECT_EQ(beat["result"].asInt(), 1);
  EXPECT_EQ(beat["returnValue"].asString(), "0");

  // The heartbeat does not extend the sign: one second before the end it is still live,
  // at the end the client is asked to log in again.
  clock_.advance(kSignLifetimeSeconds * 1000 - 1000);
  EXPECT_EQ(heartbeat(sign)["result"].asInt(), 1);
  clock_.advance(1000);
  beat = heartbeat(sign);
  EXPECT_EQ(beat["result"].asInt(), 0);
  EXPECT_EQ(beat["returnValue"].asString(), "1");
  EXPECT_EQ(getJson("/auth/auth_verify.aspx?kind=6&uid=10001&loginSign=" + sign)["result"].asInt(),
            0);

  const Json::Value again = login();
  ASSERT_EQ(again["result"].asInt(), 1);
  EXPECT_NE(again["returnValue"].asString(), sign);
  EXPECT_EQ(heartbeat(again["returnValue"].asString())["result"].asInt(), 1);
}

TEST_F(Accounts, LogoutEndsTheSignOnceAndTheExpireSwitchEndsLiveSigns) {
  const std::string first = login()["returnValue"].asString();
  const std::string second = login()["returnValue"].asString();
  EXPECT_EQ(getJson("/auth/auth_verify.aspx?kind=4&loginSign=" + first)["result"].asInt(), 1);
  EXPECT_EQ(heartbeat(first)["returnValue"].asString(), "1");
  EXPECT_EQ(getJson("/auth/auth_verify.aspx?kind=4&loginSign=" + first)["result"].asInt(), 0);
  EXPECT_EQ(heartbeat(second)["result"].asInt(), 1) << "another login of the same user stays";

  const Json::Value expired = getJson("/_dev/expire-signs");
  EXPECT_EQ(expired["result"].asInt(), 1);
  EXPECT_EQ(expired["expired"].asInt(), 1);
  const Json::Value beat = heartbeat(second);
  EXPECT_EQ(beat["result"].asInt(), 0);
  EXPECT_EQ(beat["returnValue"].asString(), "1");
}

TEST_F(Accounts, CredentialsOnlyOpenWhenSealedToTheServiceKey) {
  EXPECT_EQ(login("13800000000", "654321")["result"].asInt(), 0);
  EXPECT_EQ(login("13900000000", "123456")["result"].asInt(), 0);
  EXPECT_EQ(login(" +8613800000000 ", "123456")["result"].asInt(), 1) << "ids are normalised";

  // Plain values, as a client without the support library sends them.
  Json::Value plain =
      getJson("/auth/auth_verify.aspx?kind=0&user_id=13800000000&pwd=123456&client_ver=");
  EXPECT_EQ(plain["result"].asInt(), 0);
  EXPECT_FALSE(plain["msg"].asString().empty());
  // A box whose last character was changed, and a value that is base64 of something else.
  std::string tampered = Seal("123456");
  tampered.back() = tampered.back() == 'A' ? 'B' : 'A';
  EXPECT_EQ(getJson("/auth/auth_verify.aspx?kind=0&user_id=" + Seal("13800000000") +
                    "&pwd=" + tampered + "&client_ver=")["result"]
                .asInt(),
            0);
  EXPECT_EQ(getJson("/auth/auth_verify.aspx?kind=0&user_id=" + Seal("13800000000") +
                    "&pwd=MTIzNDU2&client_ver=")["result"]
                .asInt(),
            0);
}

TEST_F(Accounts, RegistrationOfAMobileNumberNeedsALiveSmsCode) {
  const std::string mobile = "13912345678";
  Json::Value refused = registerAccount(mobile, "secret88");
  EXPECT_EQ(refused["result"].asInt(), 0);
  EXPECT_EQ(refused["msg"].asString(), "请先获取短信验证码，验证码5分钟内有效.");

  const Json::Value sent = requestSmsCode(mobile);
  ASSERT_EQ(sent["result"].asInt(), 1) << sent["msg"].asString();
  const std::string code = smsCodeFromState(mobile);
  ASSERT_TRUE(AllOf(code, 6, "0123456789"));
  bool logged = false;
  for (const std::string& line : service_->log().lines()) {
    logged =
        logged || (line.find(mobile) != std::string::npos && line.find(code) != std::string::npos);
  }
  EXPECT_TRUE(logged) << "the code is printed to the log";
  EXPECT_EQ(requestSmsCode(mobile)["result"].asInt(), 0) << "a second code within a minute";

  const std::string wrong = code == "000000" ? "111111" : "000000";
  EXPECT_EQ(registerAccount(mobile, "secret88", "&sms_code=" + wrong)["msg"].asString(),
            "短信验证码不正确.");
  EXPECT_EQ(registerAccount(mobile, "12345")["msg"].asString(), "密码长度应为6到20位.");
  const Json::Value done = registerAccount(mobile, "secret88", "&sms_code=" + code);
  ASSERT_EQ(done["result"].asInt(), 1) << done["msg"].asString();
  EXPECT_TRUE(smsCodeFromState(mobile).empty()) << "a code is used once";
  EXPECT_EQ(registerAccount(mobile, "secret88")["msg"].asString(), "该帐号已被注册.");
  EXPECT_EQ(requestSmsCode(mobile)["msg"].asString(), "该手机号码已注册，请直接登录.");

  const Json::Value session = login(mobile, "secret88");
  ASSERT_EQ(session["result"].asInt(), 1);
  EXPECT_EQ(session["nickName"].asString(), "139****5678");
  EXPECT_EQ(session["uid"].asInt(), 10003);
  const std::string query = "uid=10003&loginSign=" + session["returnValue"].asString();
  EXPECT_EQ(getJson("/zelk/seedMessage/SeedMessageApi.aspx?req=1&" + query)["count"].asInt(), 1)
      << "the welcome message";
  EXPECT_EQ(getJson("/auth/auth_verify.aspx?kind=11&uid=10003")["result"].asInt(), 1)
      << "new users may download";
}

TEST_F(Accounts, AnSmsCodeExpiresAfterFiveMinutesAndEmailAddressesNeedNone) {
  ASSERT_EQ(requestSmsCode("13712345678")["result"].asInt(), 1);
  clock_.advance(5 * 60 * 1000);
  EXPECT_EQ(registerAccount("13712345678", "secret88")["result"].asInt(), 0);
  EXPECT_EQ(requestSmsCode("13712345678")["result"].asInt(), 1) << "a new code may be asked for";
  EXPECT_EQ(registerAccount("13712345678", "secret88")["result"].asInt(), 1);

  EXPECT_EQ(requestSmsCode("1371234567")["msg"].asString(), "请输入正确的手机号码.");
  EXPECT_EQ(registerAccount("abc", "secret88")["msg"].asString(), "请输入正确的邮箱或手机号码.");
  EXPECT_EQ(registerAccount("Builder.Li@Example.com", "secret88")["result"].asInt(), 1);
  const Json::Value session = login("builder.li@example.com", "secret88");
  EXPECT_EQ(session["result"].asInt(), 1);
  EXPECT_EQ(session["nickName"].asString(), "builder.li");
}

TEST_F(Accounts, PasswordChangeChecksTheOldPassword) {
  const auto change = [this](const std::string& uid, const std::string& oldPassword,
                             const std::string& newPassword) {
    return getJson("/auth/auth_verify.aspx?kind=1&uid=" + uid + "&old_pwd=" + Seal(oldPassword) +
                   "&new_pwd=" + Seal(newPassword));
  };
  EXPECT_EQ(change("10001", "wrong1", "abcdef")["msg"].asString(), "原密码错误.");
  EXPECT_EQ(change("99999", "123456", "abcdef")["msg"].asString(), "用户不存在.");
  EXPECT_EQ(change("10001", "123456", "abc")["result"].asInt(), 0);
  EXPECT_EQ(change("10001", "123456", "abcdef")["result"].asInt(), 1);
  EXPECT_EQ(login("13800000000", "123456")["result"].asInt(), 0);
  EXPECT_EQ(login("13800000000", "abcdef")["result"].asInt(), 1);
}

TEST_F(Accounts, PermissionReportsAvatarAndMessagesBelongToTheRightUser) {
  EXPECT_EQ(getJson("/auth/auth_verify.aspx?kind=11&uid=10001")["result"].asInt(), 1);
  const Json::Value refused = getJson("/auth/auth_verify.aspx?kind=11&uid=10002");
  EXPECT_EQ(refused["result"].asInt(), 0);
  EXPECT_EQ(refused["msg"].asString(), "您的帐号暂未开通资料下载权限，请联系客服开通.");
  EXPECT_EQ(getJson("/auth/auth_verify.aspx?kind=11&uid=-7")["result"].asInt(), 0);

  EXPECT_EQ(getJson("/auth/auth_verify.aspx?kind=9&uid=10001&downloadId=1005")["result"].asInt(),
            1);
  EXPECT_EQ(getJson("/auth/auth_verify.aspx?kind=9&uid=10001&downloadId=999999")["result"].asInt(),
            0);
  EXPECT_EQ(service_->state().downloadReportCount(10001), 1);

  const std::string sign = login()["returnValue"].asString();
  const std::string otherSign = login("13800000001", "123456")["returnValue"].asString();
  const std::string query = "uid=10001&loginSign=" + sign;
  EXPECT_EQ(getJson("/auth/auth_verify.aspx?kind=6&uid=10002&loginSign=" + sign)["result"].asInt(),
            0)
      << "a sign is good for its own user only";
  EXPECT_EQ(getJson("/zelk/seedMessage/SeedMessageApi.aspx?req=1&uid=10001&loginSign=" +
                    otherSign)["result"]
                .asInt(),
            0);
  EXPECT_EQ(getJson("/zelk/seedMessage/SeedMessageApi.aspx?req=1&" + query)["count"].asInt(), 3);

  // Reading the message page reads the messages; choosing an avatar on the profile page
  // changes the address the avatar request answers.
  const auto page = get("/zelk/seedMessage/SeedMessageMain.aspx?" + query);
  ASSERT_TRUE(page);
  EXPECT_NE(page->body.find("冬期施工专题上线"), std::string::npos);
  EXPECT_EQ(getJson("/zelk/seedMessage/SeedMessageApi.aspx?req=1&" + query)["count"].asInt(), 0);
  ASSERT_TRUE(get("/zelk/UserDataModify.aspx?" + query + "&avatar=avatar_05.png"));
  EXPECT_TRUE(getJson("/auth/auth_verify.aspx?kind=6&" + query)["imageUrl"].asString().ends_with(
      "avatar_05.png"));
  ASSERT_TRUE(get("/zelk/UserDataModify.aspx?" + query + "&avatar=../../keys/service_secret.hex"));
  EXPECT_TRUE(getJson("/auth/auth_verify.aspx?kind=6&" + query)["imageUrl"].asString().ends_with(
      "avatar_05.png"));
}

TEST_F(Accounts, StateSurvivesARestartAndCountersFollowIt) {
  ASSERT_EQ(requestSmsCode("13612345678")["result"].asInt(), 1);
  ASSERT_EQ(registerAccount("13612345678", "secret88")["result"].asInt(), 1);
  const std::string sign = login("13612345678", "secret88")["returnValue"].asString();
  const Json::Value before = getJson("/zelk/InformationStatisticsApi.aspx");
  getJson("/zelk/RecordUserBehavior.aspx?req=1&osName=Windows 7&mac=&computerName=");

  restart();
  EXPECT_EQ(heartbeat(sign)["result"].asInt(), 1);
  EXPECT_EQ(login("13612345678", "secret88")["result"].asInt(), 1);
  const Json::Value after = getJson("/zelk/InformationStatisticsApi.aspx");
  EXPECT_EQ(after["installTotal"].asInt(), before["installTotal"].asInt() + 1);
  EXPECT_EQ(after["onlineUserTotal"].asInt(), before["onlineUserTotal"].asInt() + 1);

  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(stateDir_.path() + "/state/state.json", text));
  EXPECT_EQ(text.find("secret88"), std::string::npos) << "passwords are kept as hashes only";
}

}  // namespace
}  // namespace devservice
