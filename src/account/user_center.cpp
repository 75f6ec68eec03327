#include "account/user_center.h"

#include <string>

#include "platform/code_page.h"
#include "skinui/lib_popup_notify_form.h"

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

// The avatar and the message count come with the user center's requests.
void UserCenter::LoadUserImage() {}
void UserCenter::QueryUnreadMessages() {}

}  // namespace account
