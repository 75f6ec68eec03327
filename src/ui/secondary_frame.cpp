#include "ui/secondary_frame.h"

#include "skinui/button.h"
#include "skinui/frame_hit_test.h"
#include "skinui/skin_look.h"
#include "skinui/ui_context.h"
#include "skinui/window_messages.h"

namespace ui {

using namespace skinui;

CSecondaryFrame::CSecondaryFrame(UiContext& context, std::string className, std::string layoutFile)
    : Window(context), className_(std::move(className)), layoutFile_(std::move(layoutFile)) {
  paintManager_.SetDefaultFont("微软雅黑", 12, false, false, false);
}

CSecondaryFrame::~CSecondaryFrame() {
  // The shadow follows the window's messages: it goes first.
  shadow_.reset();
  if (IsWindow()) Destroy();
  paintManager_.RemoveNotifier(this);
  paintManager_.AttachDialog(nullptr);
}

bool CSecondaryFrame::EnsureCreated(const std::u16string& caption, std::uint32_t style) {
  if (IsWindow()) return true;
  return Create(nullptr, caption, style & ~WS_VISIBLE, 0);
}

void CSecondaryFrame::Present() {
  if (!IsWindow()) return;
  Prepare();
  CenterWindow();
  SetTopmost(true);
  ShowWindow(true, true);
}

void CSecondaryFrame::Log(const std::string& line) {
  GetContext().Log(line);
}

void CSecondaryFrame::ApplyStoredSkin() {
  ApplySkinLook(paintManager_.FindControl("Root"), GetContext().GetSkinLook());
  Invalidate();
}

void CSecondaryFrame::AttachShadow() {
  if (shadow_) return;
  CWndShadow::Initialize(GetContext());
  shadow_ = std::make_unique<CWndShadow>();
  shadow_->SetSize(4);
  shadow_->SetPosition(0, 0);
  shadow_->Create(*this);
}

std::intptr_t CSecondaryFrame::HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                             std::intptr_t lParam) {
  if (shadow_) shadow_->OnParentMessage(message, wParam, lParam);
  switch (message) {
    case WM_CREATE: {
      // No system caption: the layout draws the frame; children are not painted over.
      SetStyle((GetStyle() & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
      AttachLayout(layoutFile_);
      paintManager_.AddNotifier(this);
      for (const char* name : {"closebtn", "minbtn"}) paintManager_.FindOrLog<Button>(name);
      maxBtn_ = paintManager_.FindOrLog<Button>("maxbtn");
      restoreBtn_ = paintManager_.FindOrLog<Button>("restorebtn");
      OnCreated();
      return 0;
    }
    case WM_CLOSE:
      // The window is reused and never ends the client: closing hides it.
      ShowWindow(false);
      return 0;
    case WM_NCHITTEST:
      return NonClientHitTest(*this, {PointParamX(lParam), PointParamY(lParam)});
    case WM_SIZE:
      if (paintManager_.GetRoundCorner().cx != 0 || paintManager_.GetRoundCorner().cy != 0) {
        ApplyRoundCorners(wParam);
      }
      break;
    case WM_SYSCOMMAND:
      return OnSysCommand(wParam, lParam);
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

std::intptr_t CSecondaryFrame::OnSysCommand(std::uintptr_t wParam, std::intptr_t lParam) {
  const bool wasMaximized = IsMaximized();
  const std::intptr_t result = Window::HandleMessage(WM_SYSCOMMAND, wParam, lParam);
  if (wasMaximized != IsMaximized() && maxBtn_ != nullptr && restoreBtn_ != nullptr) {
    maxBtn_->SetVisible(!IsMaximized());
    restoreBtn_->SetVisible(IsMaximized());
  }
  return result;
}

void CSecondaryFrame::Notify(TNotifyUI& msg) {
  try {
    if (msg.sType == "windowinit") {
      OnWindowInit();
      return;
    }
    if (msg.sType != "click" || msg.pSender == nullptr) return;
    const std::string name = msg.pSender->GetName();
    if (name == "closebtn") {
      OnCloseButton();
    } else if (name == "minbtn") {
      SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    } else if (name == "maxbtn") {
      SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    } else if (name == "restorebtn") {
      SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    } else {
      OnClick(name);
    }
  } catch (const std::exception& e) {
    Log(className_ + " 处理界面通知 " + msg.sType + " 出现异常:" + e.what());
  }
}

}  // namespace ui
