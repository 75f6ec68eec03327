#include "ui/contact_frame.h"

namespace ui {

CContactFrame::CContactFrame(skinui::UiContext& context)
    : CSecondaryFrame(context, "UIContactFrame", "ContactForm.xml") {}

void CContactFrame::OnCreated() {
  paintManager_.FindOrLog<skinui::Control>("btnOK");
  AttachShadow();
}

void CContactFrame::Prepare() {
  ApplyStoredSkin();
}

void CContactFrame::OnClick(const std::string& name) {
  if (name == "btnOK") ShowWindow(false);
}

}  // namespace ui
