#pragma once

#include "skinui/container.h"

namespace skinui {

// A grid with a given number of columns.
class TileLayout : public Container {
 public:
  std::string_view GetClass() const override { return "TileLayoutUI"; }
  const AttributeTable& GetAttributeTable() const override { return Attributes(); }
  static const AttributeTable& Attributes();

  int GetColumns() const { return columns_; }
  void SetColumns(int columns);

 protected:
  LayoutResult Arrange(const Rect& area, const std::vector<LayoutItem>& items) override;

 private:
  int columns_ = 1;
};

}  // namespace skinui
