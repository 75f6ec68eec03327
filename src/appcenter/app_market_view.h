#pragma once

#include "skinui/lib_object_view.h"

namespace appcenter {

// The paged view of the app list: its pager, switched with the app search box and button, and
// the category and page the next load asks for.
class CAppMarketView : public skinui::NamedPagerView {
 public:
  explicit CAppMarketView(skinui::Window* owner) : NamedPagerView(owner, Names()) {}
  static const skinui::PagerNames& Names();

  int categoryId = 0;  // the selected category, sent as "cid"
  int pageIndex = 1;   // the page to load, sent as "index"
};

}  // namespace appcenter
