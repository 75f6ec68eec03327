#include "skinui/lib_popup_notify_form.h"

#include "skinui/frame_hit_test.h"
#include "skinui/ui_context.h"
#include "skinui/window_messages.h"

namespace skinui {

namespace {

constexpr std::uint32_t kNoticeStyle = 0x96C80000;
// A notice never takes the focus away from the window the user works in.
constexpr std::uint32_t kNoticeExStyle = WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

}  // namespace

CLibPopupNotifyForm::CLibPopupNotifyForm(UiContext& context) : Window(context) {}

std::intptr_t CLibPopupNotifyForm::HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                                 std::intptr_t lParam) {
  switch (message) {
    case WM_CREATE: {
      SetStyle((GetStyle() & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
      AttachLayout("PopupNotifyForm.xml");
      paintManager_.AddNotifier(this);
      return 0;
    }
    case WM_NCHITTEST:
      return NonClientHitTest(*this, {PointParamX(lParam), PointParamY(lParam)},
                              {"ButtonUI", "OptionUI", "TextUI", "EditUI"});
    case WM_SIZE: {
      ApplyRoundCorners(wParam);
      break;
    }
    case WM_CLOSE:
      ShowWindow(false);
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void CLibPopupNotifyForm::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (name == "closebtn") {
    ShowWindow(false);
  } else if (name == "btnMessageContentClick") {
    if (notifyWindow_ != 0) {
      GetContext().Loop().post(notifyWindow_, kNoticeClickedMessage,
                               platform::Payload::make<int>(value_));
    }
    ShowWindow(false);
  }
}

void CLibPopupNotifyForm::ShowNotice(Window* notifyWindow, const std::u16string& text, int value) {
  notifyWindow_ = notifyWindow != nullptr ? notifyWindow->GetHWND() : 0;
  text_ = text;
  value_ = value;
  if (Control* content = paintManager_.FindOrLog<Control>("txtMessageContent")) {
    content->SetText(text);
  }
  ApplySkinLook(paintManager_.FindControl("Root"), GetContext().GetSkinLook());
  const Rect screen = GetContext().Backend().ScreenRect();
  const Rect now = GetWindowRect();
  const int left = screen.right - kRightOffset;
  const int top = screen.bottom - kBottomOffset;
  MoveWindow({left, top, left + now.Width(), top + now.Height()});
  SetTopmost(true);
  AnimateSlideIn(kSlideMs);
}

void ShowPopupNotice(Window* notifyWindow, const std::u16string& text, int value) {
  UiContext* context = UiContext::Current();
  if (context == nullptr) return;
  auto* notice =
      dynamic_cast<CLibPopupNotifyForm*>(context->SharedWindow(CLibPopupNotifyForm::kSharedKey));
  if (notice == nullptr || !notice->IsWindow()) {
    notice = static_cast<CLibPopupNotifyForm*>(context->SetSharedWindow(
        CLibPopupNotifyForm::kSharedKey, std::make_unique<CLibPopupNotifyForm>(*context)));
    // Created hidden: it appears only by sliding in.
    notice->Create(nullptr, u"Tamsel提示", kNoticeStyle & ~WS_VISIBLE, kNoticeExStyle);
  }
  notice->ShowNotice(notifyWindow, text, value);
}

}  // namespace skinui
