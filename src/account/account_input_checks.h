#pragma once

#include <string>
#include <string_view>

namespace account {

// The checks of the account areas before any request goes out. Each returns the message the
// user sees, empty when the input may be sent.

// Whether two passwords are the same when letter case is ignored, as the service compares them.
bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);

// A registration id is a mail address with at least five characters before its "@", or a
// mobile number.
bool IsAcceptableRegistrationId(std::u16string_view normalisedId, bool isMobileNumber);

std::u16string CheckLoginInput(std::u16string_view loginId, std::u16string_view password);
std::u16string CheckRegisterInput(std::u16string_view normalisedId, bool isMobileNumber,
                                  std::u16string_view password, std::u16string_view repeat);
std::u16string CheckChangePasswordInput(std::u16string_view oldPassword,
                                        std::u16string_view newPassword,
                                        std::u16string_view repeat);

}  // namespace account
