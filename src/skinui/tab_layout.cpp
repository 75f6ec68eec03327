#include "skinui/tab_layout.h"

#include "skinui/attribute_values.h"

namespace skinui {

const AttributeTable& TabLayout::Attributes() {
  static const AttributeTable table(
      &Container::Attributes(),
      {
          {"selectedid", On<TabLayout>([](TabLayout& t, std::string_view v) {
             // Pages may not exist yet while a layout is read: keep the number as it is.
             t.selected_ = std::max(0, ParseInt(v));
           })},
      });
  return table;
}

bool TabLayout::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  const int old = selected_;
  selected_ = index;
  NeedUpdate();
  Invalidate();
  if (old != index) SendNotify("tabselect", static_cast<std::uintptr_t>(index), old);
  return true;
}

bool TabLayout::IsChildShown(const Control* child) const {
  return GetItemIndex(child) == selected_;
}

}  // namespace skinui
