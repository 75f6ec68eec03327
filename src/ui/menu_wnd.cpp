#include "ui/menu_wnd.h"

#include "skinui/control.h"
#include "skinui/ui_context.h"
#include "skinui/window_messages.h"
#include "ui/menu_placement.h"

namespace ui {

using namespace skinui;

namespace {

constexpr std::uint32_t kShadowStyle = 0x94000000;  // pop-up, visible, clip siblings
constexpr std::uint32_t kMenuStyle = 0x96000000;    // and clip children

}  // namespace

CMenuWnd::CMenuWnd(UiContext& context)
    : CMenuWnd(context, {"MenuWnd", "main_menu.xml", "main_menu_item_"}) {}

CMenuWnd::CMenuWnd(UiContext& context, MenuTraits traits) : Window(context), traits_(traits) {
  paintManager_.SetDefaultFont("微软雅黑", 12, false, false, false);
}

CMenuWnd::~CMenuWnd() {
  if (IsWindow()) Destroy();
  paintManager_.RemoveNotifier(this);
  paintManager_.AttachDialog(nullptr);
}

CMenuWnd* CMenuWnd::Open(std::unique_ptr<CMenuWnd> menu, Window& frame, Control* owner,
                         Point clientPoint) {
  CMenuWnd* raw = menu.get();
  frame.GetContext().AdoptWindow(std::move(menu));
  raw->Init(frame, owner, frame.ClientToScreen(clientPoint));
  return raw;
}

void CMenuWnd::Init(Window& frame, Control* owner, Point screenPoint) {
  owner_ = owner;
  point_ = screenPoint;
  closing_ = false;
  if (!shadow_) {
    shadow_ = std::make_unique<CShadowWnd>(GetContext());
    shadow_->Create(&frame, u"", kShadowStyle & ~WS_VISIBLE, WS_EX_LAYERED | WS_EX_TOOLWINDOW);
  }
  if (!Create(&frame, u"", kMenuStyle, WS_EX_TOOLWINDOW)) return;
  // The menu has the focus, the main window still looks active.
  GetContext().SetActiveWindow(this);
}

std::intptr_t CMenuWnd::HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) {
  switch (message) {
    case WM_CREATE: {
      AttachLayout(traits_.layoutFile);
      paintManager_.AddNotifier(this);
      paintManager_.SetRoundCorner(3, 3);
      const Size size = paintManager_.GetInitSize();
      MoveWindow(PlaceMenu(point_, size, GetContext().Backend().WorkArea()));
      return 0;
    }
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) {
        if (GetNative() != nullptr) {
          GetNative()->SetClip(GetClientRect().Deflated(
              {kShadowMargin, kShadowMargin, kShadowMargin, kShadowMargin}));
        }
        PlaceShadow();
      }
      break;
    case WM_MOVE:
      PlaceShadow();
      break;
    case WM_SHOWWINDOW:
      if (shadow_ && shadow_->IsWindow()) shadow_->ShowWindow(wParam != 0, false);
      break;
    case WM_ACTIVATE:
      if (wParam != 0) break;
      [[fallthrough]];
    case WM_KILLFOCUS:
      if (closing_) {
        ShowWindow(false);
      } else {
        CloseOnce();
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        CloseOnce();
        return 0;
      }
      break;
    case WM_MOUSEWHEEL:
      return 0;
    case WM_CLOSE:
      if (shadow_ && shadow_->IsWindow()) shadow_->Close();
      break;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void CMenuWnd::PlaceShadow() {
  if (!shadow_ || !shadow_->IsWindow()) return;
  shadow_->MoveWindow(GetWindowRect());
  if (IsVisible()) shadow_->ShowWindow(true, false);
}

void CMenuWnd::CloseOnce() {
  if (closing_) return;
  closing_ = true;
  Close();
}

void CMenuWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == "itemselect") {
    CloseOnce();
  } else if (msg.sType == "itemclick" && msg.pSender != nullptr) {
    const std::string& name = msg.pSender->GetName();
    if (!name.starts_with(traits_.itemPrefix) || owner_ == nullptr) return;
    PaintManager* frame = owner_->GetManager();
    if (frame == nullptr) return;
    TNotifyUI item;
    item.sType = name;
    item.pSender = owner_;
    // Handled once the menu has gone.
    frame->SendNotify(item, true);
  }
}

}  // namespace ui
