#include "skinui/gtk/combo_drop_down.h"

#include <algorithm>

#include "skinui/combo.h"
#include "skinui/list.h"
#include "skinui/list_label_element.h"
#include "skinui/ui_context.h"
#include "skinui/window_messages.h"

namespace skinui::gtk {

namespace {

constexpr std::uintptr_t kKeyUp = 0x26;
constexpr std::uintptr_t kKeyDown = 0x28;

}  // namespace

ComboDropDown::ComboDropDown(UiContext& context, Combo& combo)
    : Window(context), combo_(combo), comboAlive_(combo.AliveToken()) {}

ComboDropDown* ComboDropDown::Open(Combo& combo) {
  PaintManager* manager = combo.GetManager();
  Window* owner = manager != nullptr ? manager->GetWindow() : nullptr;
  if (owner == nullptr || combo.GetCount() == 0) return nullptr;
  UiContext& context = owner->GetContext();
  const Rect box = combo.GetPos();
  const Point topLeft = owner->ClientToScreen({box.left, box.bottom});
  const int rows = std::min(combo.GetCount(), kVisibleItems);
  const int height = rows * kItemHeight + 2;
  const int width = std::max(box.Width(), 60);
  const Rect area = context.Backend().WorkArea();
  int top = topLeft.y;
  // No room below: the list opens upwards, above the box.
  if (top + height > area.bottom) top = topLeft.y - box.Height() - height;
  top = std::max(top, area.top);
  const int left = std::clamp(topLeft.x, area.left, std::max(area.left, area.right - width));
  auto* dropDown = static_cast<ComboDropDown*>(
      context.AdoptWindow(std::make_unique<ComboDropDown>(context, combo)));
  if (!dropDown->Create(owner, u"", WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, left,
                        top, width, height)) {
    return nullptr;
  }
  return dropDown;
}

void ComboDropDown::Build() {
  auto list = std::make_unique<List>();
  list->SetName("lstDropDown");
  list->SetBkColor(0xFFFFFFFF);
  list->SetBorderColor(0xFF8FA4BF);
  list->SetBorderSize(1);
  list->SetInset({1, 1, 1, 1});
  list->SetAttribute("itemselectedbkcolor", "#FFC8DCF0");
  if (combo_.GetCount() > kVisibleItems) list->SetAttribute("vscrollbar", "true");
  for (int i = 0; i < combo_.GetCount(); ++i) {
    auto item = std::make_unique<ListLabelElement>();
    item->SetName("itemDropDown_" + std::to_string(i));
    item->SetText(combo_.GetItemAt(i)->GetText());
    item->SetFixedHeight(kItemHeight);
    item->SetTextPadding({6, 0, 6, 0});
    list->Add(std::move(item));
  }
  list->SelectItem(combo_.GetCurSel(), false);
  list_ = static_cast<List*>(paintManager_.AttachDialog(std::move(list)));
  paintManager_.AddNotifier(this);
}

std::intptr_t ComboDropDown::HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                           std::intptr_t lParam) {
  switch (message) {
    case WM_CREATE:
      Build();
      return 0;
    case WM_KILLFOCUS:
      Dismiss();
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        Dismiss();
      } else if (wParam == VK_RETURN) {
        Choose(list_ != nullptr ? list_->GetCurSel() : -1);
      } else if (wParam == kKeyUp || wParam == kKeyDown) {
        MoveSelection(wParam == kKeyUp ? -1 : 1);
      }
      return 0;
    case WM_MOUSEMOVE: {
      const std::intptr_t result = Window::HandleMessage(message, wParam, lParam);
      // The highlight follows the pointer, as in the system's drop-down lists.
      Control* hot = paintManager_.GetHot();
      if (list_ != nullptr && hot != nullptr && hot->GetParent() == list_) {
        list_->SelectItem(list_->IndexOfItem(hot), false);
      }
      return result;
    }
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void ComboDropDown::Notify(TNotifyUI& msg) {
  if (msg.sType != "itemclick" || list_ == nullptr || msg.pSender == nullptr) return;
  Choose(list_->IndexOfItem(msg.pSender));
}

void ComboDropDown::MoveSelection(int step) {
  if (list_ == nullptr || list_->GetCount() == 0) return;
  const int next = std::clamp(list_->GetCurSel() + step, 0, list_->GetCount() - 1);
  list_->SelectItem(next, false);
}

void ComboDropDown::Dismiss() {
  if (closing_) return;
  closing_ = true;
  Close();
}

void ComboDropDown::Choose(int index) {
  if (closing_) return;
  closing_ = true;
  // The list goes first; the choice then reaches the combo's window as it would from the box.
  Close();
  if (index >= 0 && !comboAlive_.expired()) combo_.SelectItem(index);
}

}  // namespace skinui::gtk
