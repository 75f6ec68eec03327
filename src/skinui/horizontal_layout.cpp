#include "skinui/horizontal_layout.h"

namespace skinui {

LayoutResult HorizontalLayout::Arrange(const Rect& area, const std::vector<LayoutItem>& items) {
  return LayoutHorizontal(area, items, GetChildPadding());
}

}  // namespace skinui
