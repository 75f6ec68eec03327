#pragma once

#include "skinui/container.h"

namespace skinui {

class VerticalLayout : public Container {
 public:
  std::string_view GetClass() const override { return "VerticalLayoutUI"; }

 protected:
  LayoutResult Arrange(const Rect& area, const std::vector<LayoutItem>& items) override;
};

}  // namespace skinui
