#include "ui/shadow_wnd.h"

#include "skinui/control.h"
#include "skinui/window_messages.h"

namespace ui {

using namespace skinui;

namespace {
constexpr std::int64_t kRepaintPeriodMs = 10;
}  // namespace

CShadowWnd::CShadowWnd(UiContext& context) : Window(context) {}

CShadowWnd::~CShadowWnd() {
  if (IsWindow()) Destroy();
  paintManager_.AttachDialog(nullptr);
}

std::intptr_t CShadowWnd::HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
  switch (message) {
    case WM_CREATE: {
      auto root = std::make_unique<Control>();
      root->SetName("Root");
      root->SetBkImage(kImage);
      paintManager_.AttachDialog(std::move(root));
      SetTimer(kRepaintTimer, kRepaintPeriodMs);
      return 0;
    }
    case WM_SIZE:
      repaint_ = true;
      break;
    case WM_TIMER:
      if (wParam != kRepaintTimer) break;
      if (repaint_ && !IsMinimized()) {
        Invalidate();
        repaint_ = false;
      }
      return 0;
    case WM_CLOSE:
      KillTimer(kRepaintTimer);
      break;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace ui
