#pragma once

#include <cstdint>

namespace skinui {

class Control;

// What list items ask of the list or combo box that holds them.
class ListOwner {
 public:
  virtual ~ListOwner() = default;
  virtual int GetCurSel() const = 0;
  // Selects the item at `index` (−1 for none) and notifies "itemselect" when asked to.
  virtual bool SelectItem(int index, bool notify = true) = 0;
  virtual int IndexOfItem(const Control* item) const = 0;
  virtual std::uint32_t SelectedItemBkColor() const = 0;
  virtual std::uint32_t HotItemBkColor() const = 0;
};

}  // namespace skinui
