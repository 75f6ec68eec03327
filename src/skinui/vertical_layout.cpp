#include "skinui/vertical_layout.h"

namespace skinui {

LayoutResult VerticalLayout::Arrange(const Rect& area, const std::vector<LayoutItem>& items) {
  return LayoutVertical(area, items, GetChildPadding());
}

}  // namespace skinui
