#include "account/user_session.h"

namespace account {

void SessionState::ForgetUser() {
  loggedIn = false;
  uid = 0;
  loginSign.clear();
  nickName.clear();
  imageUrl.clear();
}

SessionState UserSession::Snapshot() const {
  const std::lock_guard lock(mutex_);
  return state_;
}

void UserSession::Update(const std::function<void(SessionState&)>& change) {
  const std::lock_guard lock(mutex_);
  change(state_);
}

bool UserSession::loggedIn() const {
  const std::lock_guard lock(mutex_);
  return state_.loggedIn;
}

std::int32_t UserSession::uid() const {
  const std::lock_guard lock(mutex_);
  return state_.uid;
}

std::string UserSession::loginSign() const {
  const std::lock_guard lock(mutex_);
  return state_.loginSign;
}

}  // namespace account
