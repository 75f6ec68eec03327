#pragma once

#include "skinui/lib_object_view.h"

namespace ui {

// The paged view of the questions-and-answers list: its pager, switched with the question
// search box and its buttons.
class CFAQView : public skinui::NamedPagerView {
 public:
  explicit CFAQView(skinui::Window* owner) : NamedPagerView(owner, Names()) {}
  static const skinui::PagerNames& Names();
};

}  // namespace ui
