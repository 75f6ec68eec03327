#pragma once

#include "skinui/list_owner.h"
#include "skinui/vertical_layout.h"

namespace skinui {

// A vertical list of items (usually ListContainerElement rows) with one selected item and a
// vertical scroll bar when switched on.
class List : public VerticalLayout, public ListOwner {
 public:
  std::string_view GetClass() const override { return "ListUI"; }
  const AttributeTable& GetAttributeTable() const override { return Attributes(); }
  static const AttributeTable& Attributes();

  int GetCurSel() const override { return selected_; }
  bool SelectItem(int index, bool notify = true) override;
  int IndexOfItem(const Control* item) const override { return GetItemIndex(item); }
  std::uint32_t SelectedItemBkColor() const override { return selectedBkColor_; }
  std::uint32_t HotItemBkColor() const override { return hotBkColor_; }
  // Scrolls so that the item is inside the visible part.
  void EnsureVisible(int index);
  void SetPos(const Rect& pos) override;

 private:
  int selected_ = -1;
  std::uint32_t selectedBkColor_ = 0;
  std::uint32_t hotBkColor_ = 0;
};

}  // namespace skinui
