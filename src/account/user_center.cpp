#include "account/user_center.h"

#include <algorithm>
#include <string>

#include "account/account_requests.h"
#include "account/user_image.h"
#include "core/window_messages.h"
#include "net/endpoints.h"
#include "net/service_requests.h"
#include "net/text_conversion.h"
#include "platform/code_page.h"
#include "skinui/image_cache.h"
#include "skinui/lib_popup_notify_form.h"
#include "skinui/paint_manager.h"
#include "skinui/window.h"

namespace account {

void UserCenter::OnUnreadMessages(const core::UnreadMessagesPayload& payload) {
  const std::u16string count = platform::Utf8ToUtf16(std::to_string(payload.count));
  if (auto* button = host_.FindControl("btnUserMessage")) {
    button->SetText(u"我的消息(" + count + u")");
  }
  if (payload.count > 0) {
    skinui::ShowPopupNotice(&host_.OwnerWindow(), u"您有(" + count + u")条未读消息，请注意查收。",
                            kUnreadMessagesNotice);
  }
}

void UserCenter::OnUserImage(const core::UserImagePayload& payload) {
  auto* button = host_.FindControl("btnUserImageForUserCenter");
  if (button == nullptr) return;
  if (!skinAvatarKnown_) {
    skinAvatar_ = button->GetBkImage();
    skinAvatarKnown_ = true;
  }
  // The file may have been downloaded anew under the same name: decode it again.
  if (!payload.path.empty()) host_.OwnerWindow().GetPaintManager().Images().Forget(payload.path);
  button->SetBkImage(payload.path.empty() ? skinAvatar_ : payload.path);
  button->Invalidate();
}

void UserCenter::LoadUserImage() {
  const SessionState state = session_->Snapshot();
  if (state.loginSign.empty()) return;
  const core::ServiceContext context = host_.Service();
  context.loop->startWorker([context, session = session_, uid = state.uid, sign = state.loginSign] {
    if (const auto address = RequestAvatarAddress(context, uid, sign)) {
      ShowUserImage(context, *session, *address, /*forced=*/true);
    }
  });
}

void UserCenter::QueryUnreadMessages() {
  const SessionState state = session_->Snapshot();
  if (!state.loggedIn) return;
  const std::int32_t uid = state.loginSign.empty() ? 0 : std::max(state.uid, 0);
  const core::ZelkLibBinding& lib = host_.Binding();
  const std::u16string url =
      net::AddRandomUrlParam(lib, net::ServiceRequestUrl(lib, net::endpoints::kUnreadMessages,
                                                         {uid, net::AnsiToWide(state.loginSign)})
                                      .value_or(u""));
  const core::ServiceContext context = host_.Service();
  context.loop->startWorker([context, url] {
    context.postToMainWindow(
        core::WM_UNREAD_MESSAGES,
        platform::Payload::make<core::UnreadMessagesPayload>(
            core::UnreadMessagesPayload{RequestUnreadCount(context.binding(), url)}));
  });
}

}  // namespace account
