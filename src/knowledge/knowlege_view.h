#pragma once

#include "skinui/lib_object_view.h"

namespace knowledge {

// The paged view of the knowledge search results: its pager under the result list, switched
// with the result page's search box and buttons.
class CKnowlegeView : public skinui::NamedPagerView {
 public:
  explicit CKnowlegeView(skinui::Window* owner) : NamedPagerView(owner, Names()) {}
  static const skinui::PagerNames& Names();

  // Set once a search has shown its results: the search quick bar returns to them.
  bool resultPageShown = false;
};

}  // namespace knowledge
