#include "ui/about_frame.h"

namespace ui {

CAboutFrame::CAboutFrame(skinui::UiContext& context, const core::ZelkLibBinding& binding)
    : CSecondaryFrame(context, "UIAboutFrame", "AboutForm.xml"), binding_(binding) {}

std::u16string CAboutFrame::CaptionText(const std::u16string& engineVersion) {
  return u"关于Tamsel(IE内核:" + engineVersion + u")";
}

void CAboutFrame::OnCreated() {
  paintManager_.FindOrLog<skinui::Control>("btnOK");
  if (auto* caption = paintManager_.FindOrLog<skinui::Control>("lblCaption")) {
    caption->SetText(CaptionText(binding_.GetIEVersion()));
  }
  AttachShadow();
}

void CAboutFrame::Prepare() {
  ApplyStoredSkin();
}

void CAboutFrame::OnClick(const std::string& name) {
  if (name == "btnOK") ShowWindow(false);
}

}  // namespace ui
