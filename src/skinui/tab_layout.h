#pragma once

#include "skinui/container.h"

namespace skinui {

// Pages on top of each other, one shown at a time. The pages keep their own visible flag;
// "shown" follows the selection.
class TabLayout : public Container {
 public:
  std::string_view GetClass() const override { return "TabLayoutUI"; }
  const AttributeTable& GetAttributeTable() const override { return Attributes(); }
  static const AttributeTable& Attributes();

  int GetCurSel() const { return selected_; }
  // Selects a page and notifies "tabselect"; false for an index out of range.
  bool SelectItem(int index);
  bool IsChildShown(const Control* child) const override;

 private:
  int selected_ = 0;
};

}  // namespace skinui
