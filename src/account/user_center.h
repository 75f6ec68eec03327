#pragma once

#include <memory>

#include "account/user_session.h"
#include "core/feature_host.h"
#include "core/window_payloads.h"

namespace account {

// The notice value of the unread-message notice: clicking that notice opens the messages.
inline constexpr int kUnreadMessagesNotice = 30001;

// The user center of the home page: the user's avatar and the count of unread messages.
// Operations whose requests are not built yet do nothing.
class UserCenter {
 public:
  // The session is the account's; a user center of its own session sees nobody logged in.
  explicit UserCenter(core::FeatureHost& host,
                      std::shared_ptr<UserSession> session = std::make_shared<UserSession>())
      : host_(host), session_(std::move(session)) {}
  virtual ~UserCenter() = default;
  UserCenter(const UserCenter&) = delete;
  UserCenter& operator=(const UserCenter&) = delete;

  virtual void LoadUserImage();
  virtual void QueryUnreadMessages();
  // Shows the count on "btnUserMessage" and, when there are any, announces them in the popup
  // notice.
  virtual void OnUnreadMessages(const core::UnreadMessagesPayload& payload);

 protected:
  core::FeatureHost& host_;
  std::shared_ptr<UserSession> session_;
};

}  // namespace account
