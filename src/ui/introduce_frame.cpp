#include "ui/introduce_frame.h"

#include "ui/web_page_address.h"

namespace ui {

CIntroduceFrame::CIntroduceFrame(skinui::UiContext& context, const WebFrameServices& services)
    : CWebFrame(context, services,
                {"UIIntroduceFrame", u"新功能介绍", "IntroduceForm.xml", "ie_for_Introduce", false,
                 true, false, false}) {}

void CIntroduceFrame::OnCreated() {
  CWebFrame::OnCreated();
  AttachShadow();
}

std::optional<std::string> CIntroduceFrame::PageAddress() {
  return LocalPageAddress(services_.appDirectory, kPage);
}

void CIntroduceFrame::OnPageCommand(const std::u16string& command) {
  if (Is(command, u"ShowMainFormArea")) {
    if (services_.showMainFormArea) services_.showMainFormArea();
  } else if (Is(command, u"CloseThisPage")) {
    ShowWindow(false);
  }
}

}  // namespace ui
