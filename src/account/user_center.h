#pragma once

#include <memory>
#include <string>

#include "account/user_session.h"
#include "core/feature_host.h"
#include "core/window_payloads.h"

namespace account {

// The notice value of the unread-message notice: clicking that notice opens the messages.
inline constexpr int kUnreadMessagesNotice = 30001;

// The user center of the home page: the user's avatar and the count of unread messages.
class UserCenter {
 public:
  // The session is the account's; a user center of its own session sees nobody logged in.
  explicit UserCenter(core::FeatureHost& host,
                      std::shared_ptr<UserSession> session = std::make_shared<UserSession>())
      : host_(host), session_(std::move(session)) {}
  virtual ~UserCenter() = default;
  UserCenter(const UserCenter&) = delete;
  UserCenter& operator=(const UserCenter&) = delete;

  // Asks the service for the user's avatar address again and downloads the picture anew (the
  // user may have changed it on the profile page).
  virtual void LoadUserImage();
  // Asks the service how many messages the logged-in user has not read.
  virtual void QueryUnreadMessages();
  // Shows the count on "btnUserMessage" and, when there are any, announces them in the popup
  // notice.
  virtual void OnUnreadMessages(const core::UnreadMessagesPayload& payload);
  // Shows the downloaded avatar on "btnUserImageForUserCenter"; an empty path shows none.
  virtual void OnUserImage(const core::UserImagePayload& payload);

 protected:
  core::FeatureHost& host_;
  std::shared_ptr<UserSession> session_;

 private:
  // The skin's own picture of the avatar button, shown while there is no avatar.
  std::string skinAvatar_;
  bool skinAvatarKnown_ = false;
};

}  // namespace account
