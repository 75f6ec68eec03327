#pragma once

#include <memory>
#include <string>

#include "skinui/notify.h"
#include "skinui/window.h"
#include "ui/shadow_wnd.h"

namespace ui {

// What tells the two pop-up menus apart.
struct MenuTraits {
  const char* className;
  const char* layoutFile;
  const char* itemPrefix;  // the items whose clicks are handed to the opening control
};

// The main menu behind "menubtn": a pop-up at the click point, kept inside the work area, with
// its shadow window behind it. Choosing an item closes the menu and then hands the item's name
// to the control that opened it, as the type of a notification, once the menu has gone. Escape
// and a click elsewhere close it. The menu frees itself when it is closed.
class CMenuWnd : public skinui::Window, public skinui::INotifyUI {
 public:
  // Clipped to its rectangle inset by this margin; the margin shows the shadow.
  static constexpr int kShadowMargin = 8;

  explicit CMenuWnd(skinui::UiContext& context);
  ~CMenuWnd() override;

  // Opens a menu for `owner` (a control of `frame`) at a point of the frame's client area.
  static CMenuWnd* Open(std::unique_ptr<CMenuWnd> menu, skinui::Window& frame,
                        skinui::Control* owner, skinui::Point clientPoint);

  std::string GetWindowClassName() const override { return traits_.className; }
  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
  void Notify(skinui::TNotifyUI& msg) override;

  CShadowWnd* Shadow() const { return shadow_.get(); }

 protected:
  CMenuWnd(skinui::UiContext& context, MenuTraits traits);

 private:
  void Init(skinui::Window& frame, skinui::Control* owner, skinui::Point screenPoint);
  void PlaceShadow();
  void CloseOnce();

  MenuTraits traits_;
  skinui::Control* owner_ = nullptr;
  skinui::Point point_;
  std::unique_ptr<CShadowWnd> shadow_;
  bool closing_ = false;
};

}  // namespace ui
