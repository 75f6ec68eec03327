#include "account/login_worker.h"

#include "account/account_requests.h"
#include "account/user_image.h"
#include "core/window_messages.h"

namespace account {

void StartLoginWorker(const core::ServiceContext& context, std::shared_ptr<UserSession> session,
                      std::string loginId, std::string password) {
  context.loop->startWorker([context, session = std::move(session), loginId = std::move(loginId),
                             password = std::move(password)] {
    ApplyLoginReply(context, *session,
                    RequestLogin(context, loginId, password, ClientVersionText(context.binding())));
  });
}

void BeginRelogin(const core::ServiceContext& context, std::shared_ptr<UserSession> session) {
  std::string loginId;
  std::string password;
  session->Update([&](SessionState& state) {
    state.silentLogin = false;
    state.reloginPending = true;
    loginId = state.loginId;
    password = state.password;
  });
  StartLoginWorker(context, std::move(session), std::move(loginId), std::move(password));
}

void ApplyLoginReply(const core::ServiceContext& context, UserSession& session,
                     core::LoginReplyPayload reply) {
  const bool succeeded = reply.result > 0;
  session.Update([&reply, succeeded](SessionState& state) {
    if (succeeded) state.reloginPending = false;
    state.uid = reply.uid;
    state.loginSign = reply.loginSign;
    state.nickName = reply.nickName;
    state.imageUrl = reply.imageUrl;
    state.loggedIn = reply.result == 1;
  });
  const std::string imageUrl = reply.imageUrl;
  context.postToMainWindow(core::WM_LOGIN_REPLY,
                           platform::Payload::make<core::LoginReplyPayload>(std::move(reply)));
  if (succeeded) ShowUserImage(context, session, imageUrl, /*forced=*/false);
}

}  // namespace account
