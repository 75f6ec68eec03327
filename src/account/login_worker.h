#pragma once

#include <memory>
#include <string>

#include "account/user_session.h"
#include "core/service_context.h"
#include "core/window_payloads.h"

namespace account {

// Starts a login on a worker of its own; its reply reaches the main window as WM_LOGIN_REPLY.
void StartLoginWorker(const core::ServiceContext& context, std::shared_ptr<UserSession> session,
                      std::string loginId, std::string password);

// Logs in again with the stored login, as the heartbeat or a returning network asks; its
// failure is shown. Callable from any thread.
void BeginRelogin(const core::ServiceContext& context, std::shared_ptr<UserSession> session);

// Takes a login reply into the session (the user info also on failure, where it is empty), then
// posts it to the main window and, after a success, shows the user's avatar. Worker side.
void ApplyLoginReply(const core::ServiceContext& context, UserSession& session,
                     core::LoginReplyPayload reply);

}  // namespace account
