#include "account/account_input_checks.h"

#include <algorithm>

namespace account {
namespace {

char16_t FoldCase(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

// The fewest characters a mail address has before its "@".
constexpr std::size_t kMinMailboxLength = 5;

}  // namespace

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return std::ranges::equal(a, b,
                            [](char16_t x, char16_t y) { return FoldCase(x) == FoldCase(y); });
}

bool IsAcceptableRegistrationId(std::u16string_view normalisedId, bool isMobileNumber) {
  const std::size_t at = normalisedId.find(u'@');
  return (at != std::u16string_view::npos && at >= kMinMailboxLength) || isMobileNumber;
}

std::u16string CheckLoginInput(std::u16string_view loginId, std::u16string_view password) {
  if (loginId.empty()) return u"请输入帐号.";
  if (password.empty()) return u"请输入密码.";
  return {};
}

std::u16string CheckRegisterInput(std::u16string_view normalisedId, bool isMobileNumber,
                                  std::u16string_view password, std::u16string_view repeat) {
  if (normalisedId.empty()) return u"请输入帐号.";
  if (!IsAcceptableRegistrationId(normalisedId, isMobileNumber)) {
    return u"请输入正确的邮箱或手机号码.";
  }
  if (password.empty()) return u"请输入密码.";
  if (!EqualIgnoringCase(password, repeat)) return u"输入的密码和确认密码不一致.";
  return {};
}

std::u16string CheckChangePasswordInput(std::u16string_view oldPassword,
                                        std::u16string_view newPassword,
                                        std::u16string_view repeat) {
  if (oldPassword.empty()) return u"请输入旧密码.";
  if (newPassword.empty()) return u"请输入新密码.";
  if (!EqualIgnoringCase(newPassword, repeat)) return u"输入的新密码和确认密码不一致.";
  return {};
}

}  // namespace account
