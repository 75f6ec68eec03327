// The account against a service that answers what the test says (HTML, odd types, failures)
// through the real support library, and the stored login at its size limits.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>

#include "account/account_controller.h"
#include "core/window_messages.h"
#include "platform/code_page.h"
#include "platform/dynamic_library.h"
#include "skinui/control.h"
#include "skinui/paint_manager.h"
#include "skinui/window.h"
#include "support/fake_feature_host.h"
#include "support/temp_dir.h"
#include "zelklib/http_server.h"

namespace account {
namespace {

core::ZelkLibBinding StagedLibrary(const std::string& programDirectory) {
  const char* appDir = std::getenv("ZELK_APP_DIR");
  core::ZelkLibBinding lib(platform::DynamicLibrary::open(
      std::string(appDir != nullptr ? appDir : ".") + "/libZelkLib.so"));
  lib.setProgramDirectory(platform::Utf8ToUtf16(programDirectory));
  return lib;
}

class AccountRepliesTest : public ::testing::Test {
 protected:
  AccountRepliesTest() {
    platform::SetAnsiCodesetOverride("UTF-8");
    server.server.Get("/auth/auth_verify.aspx",
                      [this](const httplib::Request& request, httplib::Response& response) {
                        const std::lock_guard lock(mutex);
                        lastParams = request.params;
                        ++requests;
                        response.set_content(reply, contentType);
                      });
    server.start();
    setenv("ZELK_SERVICE_HOST", server.hostAndPort().c_str(), 1);
    host.SetMessageHandler([this](std::uint32_t message, platform::Payload& payload) {
      if (message == core::WM_LOGIN_REPLY) account.DoAfterLogin(payload);
      if (message == core::WM_REGISTER_REPLY) account.DoAfterRegister(payload);
    });
  }
  ~AccountRepliesTest() override {
    unsetenv("ZELK_SERVICE_HOST");
    platform::SetAnsiCodesetOverride("");
  }

  void Answer(std::string body, std::string type = "application/json") {
    const std::lock_guard lock(mutex);
    reply = std::move(body);
    contentType = std::move(type);
  }
  skinui::Control& Find(const char* name) {
    return *host.OwnerWindow().GetPaintManager().FindControl(name);
  }
  void LogIn(const std::u16string& id, const std::u16string& password) {
    Find("txtLoginIdForLogin").SetText(id);
    Find("txtLoginPwdForLogin").SetText(password);
    account.DoLogin(false);
    ASSERT_TRUE(ui.loop.waitIdle(60000));
  }
  std::u16string LastMessage() const {
    return host.messageBoxes.empty() ? u"" : host.messageBoxes.back().text;
  }

  zelklib_testing::LoopbackServer server;
  std::mutex mutex;
  std::string reply;
  std::string contentType;
  httplib::Params lastParams;
  int requests = 0;
  testing_support::TempDir program;
  core::ZelkLibBinding lib = StagedLibrary(program.path());
  testing_support::HeadlessUi ui;
  testing_support::FakeFeatureHost host{ui.context, lib, program.path(),
                                        testing_support::StagedLayout("main_frame.xml")};
  AccountController account{host};
};

TEST_F(AccountRepliesTest, OddLoginRepliesGetTheirTextOrFallback) {
  ASSERT_TRUE(lib.loaded());
  Answer("<html><body>维护中</body></html>", "text/html");
  LogIn(u"13800000000", u"a&b%c d");
  EXPECT_EQ(LastMessage(), u"登录失败，原因：返回值无法解析.");
  EXPECT_FALSE(account.Session()->loggedIn());
  EXPECT_TRUE(Find("txtLoginIdForLogin").IsEnabled());
  {
    // The sealed values travel whole: nothing of the password leaks into other parameters.
    const std::lock_guard lock(mutex);
    EXPECT_EQ(lastParams.size(), 4u);  // kind, user_id, pwd, client_ver
    ASSERT_EQ(lastParams.count("pwd"), 1u);
    EXPECT_EQ(lastParams.find("pwd")->second.find("a&b"), std::string::npos);
    EXPECT_FALSE(lastParams.find("pwd")->second.empty());
  }
  EXPECT_EQ(program.read("Log/Zelk.log").find("a&b%c d"), std::string::npos);

  // A negative result is a refusal, whatever its sign.
  Answer(R"({"result":-1,"msg":"帐号已冻结"})");
  LogIn(u"13800000000", u"pw");
  EXPECT_EQ(LastMessage(), u"帐号已冻结");
  EXPECT_FALSE(account.Session()->loggedIn());

  // A uid sent as text reads as 0; a result of 2 is a success all the same.
  Answer(R"({"result":2,"msg":"ok","uid":"abc","returnValue":"S","nickName":"N","imageUrl":""})");
  const std::size_t boxes = host.messageBoxes.size();
  LogIn(u"用户😀", u"密码😀");
  const SessionState state = account.Session()->Snapshot();
  EXPECT_EQ(host.messageBoxes.size(), boxes);
  EXPECT_TRUE(state.loggedIn);
  EXPECT_EQ(state.uid, 0);
  EXPECT_EQ(state.loginSign, "S");
  EXPECT_EQ(state.loginId, "用户😀");

  Answer("not json");
  Find("txtUserIdForRegister").SetText(u"abcde@example.cn");
  Find("txtPasswordForRegister").SetText(u"pw1");
  Find("txtRepeatPasswordForRegister").SetText(u"PW1");
  account.DoRegister();
  ASSERT_TRUE(ui.loop.waitIdle(60000));
  EXPECT_EQ(LastMessage(), u"注册失败，原因：返回值无法解析.");
  EXPECT_TRUE(Find("btnRegisterForRegister").IsEnabled());
}

TEST_F(AccountRepliesTest, AStoredLoginThatDoesNotFitItsBufferIsNotUsedCut) {
  const std::u16string fits(49, u'a');
  const std::u16string tooLong(50, u'a');
  lib.SaveLoginData(platform::Utf8ToUtf16(program.path()), fits, fits, true, true);
  account.FillLoginFrame();
  EXPECT_EQ(Find("txtLoginIdForLogin").GetText(), fits);
  EXPECT_EQ(Find("txtLoginPwdForLogin").GetText(), fits);

  Find("txtLoginIdForLogin").SetText(u"");
  Find("txtLoginPwdForLogin").SetText(u"");
  for (const auto& [id, password] :
       {std::pair{tooLong, fits}, std::pair{fits, std::u16string(500, u'密')}}) {
    lib.SaveLoginData(platform::Utf8ToUtf16(program.path()), id, password, true, true);
    account.DoAutoLoginByConfig();
    ASSERT_TRUE(ui.loop.waitIdle(60000));
    EXPECT_EQ(Find("txtLoginIdForLogin").GetText(), u"");
    const std::lock_guard lock(mutex);
    EXPECT_EQ(requests, 0) << "a cut login was sent";
  }
  EXPECT_TRUE(host.messageBoxes.empty());
}

}  // namespace
}  // namespace account
