#include "ui/user_message_frame.h"

namespace ui {

CUserMessageFrame::CUserMessageFrame(skinui::UiContext& context, const WebFrameServices& services)
    : CWebFrame(context, services,
                {"UIUserMessageFrame", u"我的信息", "UserMessageForm.xml", "ie_for_user_message",
                 true, false, true, true}) {}

std::optional<std::string> CUserMessageFrame::PageAddress() {
  return ServicePage(u"zelk/seedMessage/SeedMessageMain.aspx?uid=%d&loginSign=%s", LoginValues());
}

}  // namespace ui
