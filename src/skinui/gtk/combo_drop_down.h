#pragma once

#include <memory>
#include <string>

#include "skinui/notify.h"
#include "skinui/window.h"

namespace skinui {
class Combo;
class List;
}  // namespace skinui

namespace skinui::gtk {

// The list a combo box drops down: a pop-up window of its own below the box (above it when
// the work area ends), so that it can reach over web views and past the window's edge. The
// item under the pointer is highlighted; a click or Enter chooses it (the combo notifies
// "itemselect"); Escape, or the focus going elsewhere, closes the list unchanged.
class ComboDropDown final : public Window, public INotifyUI {
 public:
  static constexpr int kItemHeight = 24;
  static constexpr int kVisibleItems = 10;

  // Opens the list of `combo` (which must be in a window); the pop-up frees itself on closing.
  static ComboDropDown* Open(Combo& combo);

  std::string GetWindowClassName() const override { return "ComboDropDownWnd"; }
  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
  void Notify(TNotifyUI& msg) override;

  ComboDropDown(UiContext& context, Combo& combo);

 private:
  void Build();
  void Choose(int index);
  void Dismiss();
  void MoveSelection(int step);

  Combo& combo_;
  std::weak_ptr<Control*> comboAlive_;
  List* list_ = nullptr;
  bool closing_ = false;
};

}  // namespace skinui::gtk
