#pragma once

#include "skinui/container.h"

namespace skinui {

class HorizontalLayout : public Container {
 public:
  std::string_view GetClass() const override { return "HorizontalLayoutUI"; }

 protected:
  LayoutResult Arrange(const Rect& area, const std::vector<LayoutItem>& items) override;
};

}  // namespace skinui
