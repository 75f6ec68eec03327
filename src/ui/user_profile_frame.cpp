#include "ui/user_profile_frame.h"

namespace ui {

CUserProfileFrame::CUserProfileFrame(skinui::UiContext& context, const WebFrameServices& services)
    : CWebFrame(context, services,
                {"UIUserProfileFrame", u"个人中心", "UserProfileForm.xml", "ie_for_user_profile",
                 true, false, true, true}) {}

std::optional<std::string> CUserProfileFrame::PageAddress() {
  return ServicePage(u"zelk/UserDataModify.aspx?uid=%d&loginSign=%s", LoginValues());
}

void CUserProfileFrame::OnCloseButton() {
  ShowWindow(false);
  if (services_.reloadAvatar) services_.reloadAvatar();
}

}  // namespace ui
