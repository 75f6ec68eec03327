#pragma once

#include "skinui/label.h"

namespace skinui {

// A text item of a list or of a combo box's drop-down.
class ListLabelElement : public Label {
 public:
  std::string_view GetClass() const override { return "ListLabelElementUI"; }
  bool Activate() override;
  bool IsClickable() const override { return true; }
  void DoPaint(Painter& painter, const Rect& dirty) override;
};

}  // namespace skinui
