#include "skinui/frame_hit_test.h"

#include <algorithm>

#include "skinui/window.h"
#include "skinui/window_messages.h"

namespace skinui {

std::intptr_t NonClientHitTest(Window& window, Point screenPoint,
                               std::initializer_list<std::string_view> clientClasses) {
  const Rect screen = window.GetWindowRect();
  const Point pt{screenPoint.x - screen.left, screenPoint.y - screen.top};
  const Rect client = window.GetClientRect();
  PaintManager& pm = window.GetPaintManager();
  if (!window.IsMaximized()) {
    const Rect box = pm.GetSizeBox();
    const bool left = pt.x < client.left + box.left;
    const bool right = pt.x >= client.right - box.right;
    if (pt.y < client.top + box.top) {
      return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    }
    if (pt.y >= client.bottom - box.bottom) {
      return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    }
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
  }
  const Rect caption = pm.GetCaptionRect();
  if (pt.x >= client.left + caption.left && pt.x < client.right - caption.right &&
      pt.y >= caption.top && pt.y < caption.bottom) {
    pm.UpdateLayout();
    Control* control = pm.FindControl(pt);
    if (control != nullptr && std::find(clientClasses.begin(), clientClasses.end(),
                                        control->GetClass()) != clientClasses.end()) {
      return HTCLIENT;
    }
    return HTCAPTION;
  }
  return HTCLIENT;
}

}  // namespace skinui
