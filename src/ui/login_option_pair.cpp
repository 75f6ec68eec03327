#include "ui/login_option_pair.h"

#include <array>

namespace ui {
namespace {

struct Pair {
  std::string_view remember;
  std::string_view autoLogin;
};

constexpr std::array kPairs = {Pair{"opRememberPwdForLogin", "opAutoLoginForLogin"},
                               Pair{"opRememberPwdForRegister", "opAutoLoginForRegister"}};

}  // namespace

std::optional<PairedOptionChange> PairedOptionRule(std::string_view option, bool selected) {
  for (const Pair& pair : kPairs) {
    if (option == pair.remember && !selected) return PairedOptionChange{pair.autoLogin, false};
    if (option == pair.autoLogin && selected) return PairedOptionChange{pair.remember, true};
  }
  return std::nullopt;
}

}  // namespace ui
