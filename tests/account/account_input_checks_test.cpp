#include "account/account_input_checks.h"

#include <gtest/gtest.h>

namespace account {
namespace {

TEST(AccountInputChecks, RegistrationIdsNeedFiveCharactersBeforeTheAtOrAMobileNumber) {
  EXPECT_EQ(CheckRegisterInput(u"", false, u"p", u"p"), u"请输入帐号.");
  EXPECT_EQ(CheckRegisterInput(u"abcd@x.cn", false, u"p", u"p"), u"请输入正确的邮箱或手机号码.");
  EXPECT_EQ(CheckRegisterInput(u"abcde@x.cn", false, u"p", u"p"), u"");
  // An id without any "@" is no mail address at all.
  EXPECT_EQ(CheckRegisterInput(u"abcdefgh", false, u"p", u"p"), u"请输入正确的邮箱或手机号码.");
  EXPECT_EQ(CheckRegisterInput(u"abcd@x.cn", true, u"p", u"p"), u"");
  // The id is checked before the passwords.
  EXPECT_EQ(CheckRegisterInput(u"ab@x.cn", false, u"", u"x"), u"请输入正确的邮箱或手机号码.");
  EXPECT_EQ(CheckRegisterInput(u"abcde@x.cn", false, u"", u""), u"请输入密码.");
  EXPECT_EQ(CheckRegisterInput(u"abcde@x.cn", false, u"Secret1", u"sECRET1"), u"");
  EXPECT_EQ(CheckRegisterInput(u"abcde@x.cn", false, u"Secret1", u"Secret2"),
            u"输入的密码和确认密码不一致.");
  EXPECT_EQ(CheckRegisterInput(u"abcde@x.cn", false, u"Secret1", u"Secret1 "),
            u"输入的密码和确认密码不一致.");
}

TEST(AccountInputChecks, PasswordChangesAndLoginsAreCheckedInTheirOrder) {
  EXPECT_EQ(CheckChangePasswordInput(u"", u"", u""), u"请输入旧密码.");
  EXPECT_EQ(CheckChangePasswordInput(u"old", u"", u"x"), u"请输入新密码.");
  EXPECT_EQ(CheckChangePasswordInput(u"old", u"NewÄ1", u"newÄ1"), u"");
  // Only ASCII letters fold: other characters must match exactly.
  EXPECT_EQ(CheckChangePasswordInput(u"old", u"新Ä", u"新ä"), u"输入的新密码和确认密码不一致.");
  EXPECT_EQ(CheckLoginInput(u"", u"p"), u"请输入帐号.");
  EXPECT_EQ(CheckLoginInput(u"id", u""), u"请输入密码.");
  EXPECT_EQ(CheckLoginInput(u"id", u"p"), u"");
}

}  // namespace
}  // namespace account
