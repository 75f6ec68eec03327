#include "skinui/list.h"

#include "skinui/attribute_values.h"

namespace skinui {

const AttributeTable& List::Attributes() {
  static const AttributeTable table(
      &Container::Attributes(),
      {
          {"itemselectedbkcolor",
           On<List>([](List& l, std::string_view v) { l.selectedBkColor_ = ParseColor(v); })},
          {"itemhotbkcolor",
           On<List>([](List& l, std::string_view v) { l.hotBkColor_ = ParseColor(v); })},
      });
  return table;
}

bool List::SelectItem(int index, bool notify) {
  if (index < -1 || index >= GetCount()) return false;
  const int old = selected_;
  selected_ = index;
  Invalidate();
  if (index >= 0) EnsureVisible(index);
  if (notify && old != index) SendNotify("itemselect", static_cast<std::uintptr_t>(index), old);
  return true;
}

void List::EnsureVisible(int index) {
  Control* item = GetItemAt(index);
  if (item == nullptr || !IsVScrollEnabled()) return;
  const Rect view = pos_.Deflated(GetInset());
  const Rect r = item->GetPos();
  if (r.top < view.top) {
    SetScrollY(GetScrollY() - (view.top - r.top));
  } else if (r.bottom > view.bottom) {
    SetScrollY(GetScrollY() + (r.bottom - view.bottom));
  }
}

void List::SetPos(const Rect& pos) {
  // A selection past the end (items removed) is no selection.
  if (selected_ >= GetCount()) selected_ = -1;
  VerticalLayout::SetPos(pos);
}

}  // namespace skinui
