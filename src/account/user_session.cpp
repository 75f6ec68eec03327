#include "account/user_session.h"

namespace account {

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

void UserSession::SetUserInfo(const UserInfo& info) {
  const std::lock_guard lock(mutex_);
  state_.uid = info.uid;
  state_.loginSign = info.loginSign;
  state_.nickName = info.nickName;
  state_.imageUrl = info.imageUrl;
}

}  // namespace account
