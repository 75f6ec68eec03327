#pragma once

#include "skinui/label.h"

namespace skinui {

// Text that wraps over several lines and understands the colour markup by default.
class Text : public Label {
 public:
  Text();
  std::string_view GetClass() const override { return "TextUI"; }
};

}  // namespace skinui
