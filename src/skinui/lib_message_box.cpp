#include "skinui/lib_message_box.h"

#include "skinui/button.h"
#include "skinui/container.h"
#include "skinui/frame_hit_test.h"
#include "skinui/ui_context.h"
#include "skinui/window_messages.h"

namespace skinui {

namespace {

constexpr std::uint32_t kMessageBoxStyle = 0x96C80000;
constexpr std::int64_t kWaitSliceMs = 50;

}  // namespace

CLibMessageBox::CLibMessageBox(UiContext& context) : Window(context) {}

std::u16string CLibMessageBox::TitleOf(int iconKind) {
  switch (iconKind) {
    case 1:
      return u"提醒";
    case 2:
      return u"错误";
    case 3:
      return u"询问";
    default:
      return u"提示";
  }
}

std::string CLibMessageBox::IconOf(int iconKind) {
  switch (iconKind) {
    case 0:
      return "MessageBox/msg_info.png";
    case 1:
      return "MessageBox/msg_warning.png";
    case 2:
      return "MessageBox/msg_error.png";
    case 3:
      return "MessageBox/msg_ques.png";
    default:
      return "";
  }
}

std::intptr_t CLibMessageBox::HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                            std::intptr_t lParam) {
  switch (message) {
    case WM_CREATE: {
      SetStyle((GetStyle() & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
      AttachLayout("MessageBox.xml");
      paintManager_.AddNotifier(this);
      return 0;
    }
    case WM_NCHITTEST:
      return NonClientHitTest(*this, {PointParamX(lParam), PointParamY(lParam)},
                              {"ButtonUI", "OptionUI", "TextUI", "EditUI"});
    case WM_SIZE: {
      ApplyRoundCorners(wParam);
      if (initialised_) LayoutButtons();
      break;
    }
    case WM_CLOSE:
      // The window is reused: closing answers "close" and hides it.
      Finish(0);
      return 0;
    case WM_DESTROY:
      if (result_ == -1) result_ = 0;
      break;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void CLibMessageBox::Notify(TNotifyUI& msg) {
  if (msg.sType == "windowinit") {
    initialised_ = true;
    LookUpControls();
    LayoutButtons();
    return;
  }
  if (msg.sType != "click" || msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (name == "closebtn" || name == "btnCancel") {
    Finish(0);
  } else if (name == "btnOK") {
    Finish(1);
  }
}

void CLibMessageBox::Finish(int result) {
  result_ = result;
  ShowWindow(false);
}

void CLibMessageBox::LookUpControls() {
  icon_ = paintManager_.FindOrLog<Container>("hluMessageIcon");
  buttonArea_ = paintManager_.FindOrLog<Container>("hluBtnArea");
  buttonFill_ = paintManager_.FindOrLog<Container>("hluBtnFillArea");
  ok_ = paintManager_.FindOrLog<Button>("btnOK");
  cancel_ = paintManager_.FindOrLog<Button>("btnCancel");
  close_ = paintManager_.FindOrLog<Button>("closebtn");
  title_ = paintManager_.FindOrLog<Control>("txtTitle");
  message_ = paintManager_.FindOrLog<Control>("txtMessage");
}

void CLibMessageBox::LayoutButtons() {
  if (ok_ == nullptr || cancel_ == nullptr) return;
  switch (buttonKind_) {
    case 0:
      ok_->SetVisible(true);
      ok_->SetText(u"确定");
      cancel_->SetVisible(false);
      break;
    case 1:
      ok_->SetVisible(false);
      cancel_->SetVisible(true);
      cancel_->SetText(u"关闭");
      break;
    case 2:
      ok_->SetVisible(true);
      ok_->SetText(u"是");
      cancel_->SetVisible(true);
      cancel_->SetText(u"否");
      break;
    case 3:
      ok_->SetVisible(true);
      ok_->SetText(u"确定");
      cancel_->SetVisible(true);
      cancel_->SetText(u"取消");
      break;
    default:
      break;
  }
  if (buttonFill_ != nullptr) {
    buttonFill_->SetFixedWidth(
        std::max(0, (GetWindowRect().Width() - ok_->GetFixedWidth() - 16) / 2));
  }
  if (message_ != nullptr) message_->SetFixedWidth(0);
}

void CLibMessageBox::Prepare(int iconKind, int buttonKind, const std::u16string& text, int height) {
  iconKind_ = iconKind;
  buttonKind_ = buttonKind;
  text_ = text;
  result_ = -1;
  LookUpControls();
  if (title_ != nullptr) title_->SetText(TitleOf(iconKind));
  if (message_ != nullptr) message_->SetText(text);
  const std::string icon = IconOf(iconKind);
  if (icon_ != nullptr && !icon.empty()) icon_->SetBkImage(icon);
  ApplySkinLook(paintManager_.FindControl("Root"), GetContext().GetSkinLook());
  LayoutButtons();
  ResizeClient(GetWindowRect().Width(), height);
  CenterWindow();
  SetTopmost(true);
  ShowWindow(true, true);
}

int CLibMessageBox::WaitForResult() {
  platform::MessageLoop& loop = GetContext().Loop();
  while (result_ == -1 && IsWindow()) {
    const std::int64_t start = loop.clock().nowMs();
    loop.pumpFor(kWaitSliceMs);
    // pumpFor returns early only when the loop is quitting: nobody will answer any more.
    if (loop.clock().nowMs() - start < kWaitSliceMs && result_ == -1) {
      result_ = 0;
      ShowWindow(false);
    }
  }
  return result_ == -1 ? 0 : result_;
}

int ShowLibMessageBox(Window*, int iconKind, int buttonKind, const std::u16string& text, int height,
                      bool wait) {
  UiContext* context = UiContext::Current();
  if (context == nullptr) return 0;
  auto* box = dynamic_cast<CLibMessageBox*>(context->SharedWindow(CLibMessageBox::kSharedKey));
  if (box == nullptr || !box->IsWindow()) {
    box = static_cast<CLibMessageBox*>(context->SetSharedWindow(
        CLibMessageBox::kSharedKey, std::make_unique<CLibMessageBox>(*context)));
    // Created hidden: the showing below places and fills it first.
    box->Create(nullptr, u"提示", kMessageBoxStyle & ~WS_VISIBLE, 0);
  }
  box->Prepare(iconKind, buttonKind, text, height);
  if (buttonKind == 2 || buttonKind == 3 || wait) return box->WaitForResult();
  return 0;
}

}  // namespace skinui
