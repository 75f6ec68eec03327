#pragma once

#include "skinui/window.h"

namespace ui {

// The soft shadow behind a pop-up menu: a layered window that paints the skin image
// "menu_bk.png" over its whole area. It repaints on a short timer after its size changed, so
// that a burst of changes paints once.
class CShadowWnd final : public skinui::Window {
 public:
  static constexpr std::uint32_t kRepaintTimer = 9000;
  static constexpr const char* kImage = "file='menu_bk.png' corner='40,8,8,8'";

  explicit CShadowWnd(skinui::UiContext& context);
  ~CShadowWnd() override;

  std::string GetWindowClassName() const override { return "UIShadow"; }
  std::uint32_t GetClassStyle() const override { return 3; }
  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;

  bool RepaintPending() const { return repaint_; }

 private:
  bool repaint_ = false;
};

}  // namespace ui
