#include "skinui/tile_layout.h"

#include "skinui/attribute_values.h"

namespace skinui {

const AttributeTable& TileLayout::Attributes() {
  static const AttributeTable table(
      &Container::Attributes(),
      {
          {"columns",
           On<TileLayout>([](TileLayout& t, std::string_view v) { t.SetColumns(ParseInt(v)); })},
      });
  return table;
}

void TileLayout::SetColumns(int columns) {
  // Zero columns (a window too narrow for one) still lays out one column rather than dividing
  // by zero.
  columns_ = std::max(columns, 1);
  NeedUpdate();
}

LayoutResult TileLayout::Arrange(const Rect& area, const std::vector<LayoutItem>& items) {
  return LayoutTile(area, items, columns_, GetChildPadding());
}

}  // namespace skinui
