#include "ui/skin_frame.h"

#include <exception>

#include "skinui/tab_layout.h"
#include "skinui/ui_context.h"
#include "skinui/window_messages.h"
#include "ui/skin_changed_param.h"

namespace ui {

using namespace skinui;

CSkinFrame::CSkinFrame(UiContext& context) : Window(context) {
  paintManager_.SetDefaultFont("微软雅黑", 12, false, false, false);
}

CSkinFrame::~CSkinFrame() {
  paintManager_.RemoveNotifier(this);
  paintManager_.AttachDialog(nullptr);
}

bool CSkinFrame::Open(Window& owner, const Rect& anchorOnScreen) {
  anchor_ = anchorOnScreen;
  if (!Create(&owner, u"skinframe", WS_POPUP | WS_VISIBLE,
              WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE)) {
    return false;
  }
  // It does not take the focus by being shown; it takes it here so that clicking anywhere else
  // closes it.
  GetContext().SetActiveWindow(this);
  return true;
}

std::intptr_t CSkinFrame::HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
  switch (message) {
    case WM_CREATE:
      BuildLayout();
      PlaceBelowAnchor();
      return 0;
    case WM_ACTIVATE:
      if (wParam == 0) Close();
      return 0;
    case WM_KILLFOCUS:
      Close();
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void CSkinFrame::BuildLayout() {
  AttachLayout(kLayoutFile);
  paintManager_.AddNotifier(this);
}

void CSkinFrame::PlaceBelowAnchor() {
  const Size size = paintManager_.GetInitSize();
  const int width = size.cx > 0 ? size.cx : GetWindowRect().Width();
  const int height = size.cy > 0 ? size.cy : GetWindowRect().Height();
  MoveWindow({anchor_.right - width, anchor_.bottom, anchor_.right, anchor_.bottom + height});
}

void CSkinFrame::ShowPage(int page) {
  if (auto* tab = paintManager_.TryFind<TabLayout>("skin_tab")) tab->SelectItem(page);
}

void CSkinFrame::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || msg.pSender == nullptr) return;
  try {
    const std::string& name = msg.pSender->GetName();
    if (name == "skin_image_btn") {
      SkinChangedObserver().Broadcast({false, 0, msg.pSender->GetBkImage()});
    } else if (name == "skin_color_btn") {
      SkinChangedObserver().Broadcast({true, msg.pSender->GetBkColor(), {}});
    } else if (name == "skin_color") {
      ShowPage(1);
    } else if (name == "skin_image") {
      ShowPage(0);
    } else if (name == "closebtn") {
      Close();
    }
  } catch (const std::exception& e) {
    GetContext().Log(std::string("更换皮肤出现异常:") + e.what());
  }
}

}  // namespace ui
