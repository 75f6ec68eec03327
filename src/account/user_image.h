#pragma once

#include <cstdint>
#include <string>

#include "account/user_session.h"
#include "core/service_context.h"

namespace account {

// Where the avatar of user `uid` behind `address` is cached: UserData/<uid>/UserProfile/ in the
// program directory, then the file name of the address. Empty when the address has no file name
// that may name a file there.
std::string UserImagePath(const core::ZelkLibBinding& lib, std::int32_t uid,
                          const std::string& address);

// Makes the avatar at `address` the session's and shows it in the user center: from the cache,
// downloaded when missing (always when `forced`). An address whose file name has no extension
// is never shown. Runs on a worker; the picture reaches the user center as WM_USER_IMAGE.
void ShowUserImage(const core::ServiceContext& context, UserSession& session,
                   const std::string& address, bool forced);

}  // namespace account
