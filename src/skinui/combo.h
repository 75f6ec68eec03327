#pragma once

#include "skinui/container.h"
#include "skinui/list_owner.h"
#include "skinui/painter.h"

namespace skinui {

// A drop-down choice. Its items are ListLabelElement children; the box shows the selected
// item's text. A click notifies "dropdown" (the backend opens the drop-down list); choosing
// an item notifies "itemselect".
class Combo : public Container, public ListOwner {
 public:
  std::string_view GetClass() const override { return "ComboUI"; }
  const AttributeTable& GetAttributeTable() const override { return Attributes(); }
  static const AttributeTable& Attributes();

  int GetCurSel() const override { return selected_; }
  bool SelectItem(int index, bool notify = true) override;
  int IndexOfItem(const Control* item) const override { return GetItemIndex(item); }
  std::uint32_t SelectedItemBkColor() const override { return 0xFFC8DCF0; }
  std::uint32_t HotItemBkColor() const override { return 0xFFE6F0FA; }
  const std::string& GetNormalImage() const { return normalText_; }
  bool IsChildShown(const Control* child) const override;
  bool Activate() override;
  bool IsClickable() const override { return true; }
  bool IsFocusable() const override { return true; }
  Control* FindControlAt(Point pt) override;

 protected:
  void PaintStatusImage(Painter& painter) override;
  void PaintText(Painter& painter) override;

 private:
  int selected_ = -1;
  std::string normalText_, hotText_, pushedText_, disabledText_;
  ImageSpec normal_, hot_, pushed_, disabled_;
  Rect textPadding_{4, 0, 20, 0};
  std::uint32_t textColor_ = 0xFF000000;
  int font_ = -1;
};

}  // namespace skinui
