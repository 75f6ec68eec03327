#include "ui/enter_focus_chain.h"

#include <array>

namespace ui {
namespace {

constexpr std::array<std::string_view, 5> kLoginChain = {
    "txtLoginIdForLogin", "txtLoginPwdForLogin", "opRememberPwdForLogin", "opAutoLoginForLogin",
    "btnLoginForLogin"};

constexpr std::array<std::string_view, 8> kRegisterChain = {
    "txtUserIdForRegister",   "btnGetSMSCodeForRegister",     "txtSMSCodeForRegister",
    "txtPasswordForRegister", "txtRepeatPasswordForRegister", "opRememberPwdForRegister",
    "opAutoLoginForRegister", "btnRegisterForRegister"};

template <std::size_t N>
std::string_view NextIn(const std::array<std::string_view, N>& chain, std::string_view name) {
  for (std::size_t i = 0; i + 1 < N; ++i) {
    if (chain[i] == name) return chain[i + 1];
  }
  return {};
}

}  // namespace

std::string_view NextInEnterChain(std::string_view controlName) {
  if (const std::string_view next = NextIn(kLoginChain, controlName); !next.empty()) return next;
  return NextIn(kRegisterChain, controlName);
}

}  // namespace ui
