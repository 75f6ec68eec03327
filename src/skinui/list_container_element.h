#pragma once

#include "skinui/horizontal_layout.h"

namespace skinui {

// A list row that holds controls. A click on the row (not on a control of it that takes the
// click) notifies "itemclick" and selects the row in its list ("itemselect").
class ListContainerElement : public HorizontalLayout {
 public:
  std::string_view GetClass() const override { return "ListContainerElementUI"; }
  bool Activate() override;
  bool IsClickable() const override { return true; }
  bool IsSelected() const;
  void DoPaint(Painter& painter, const Rect& dirty) override;
};

}  // namespace skinui
