#pragma once

namespace appcenter {

// The home grid's arithmetic, from the window and the heights of the bars above the grid.
struct HomeGridInput {
  int windowWidth = 0;
  int windowHeight = 0;
  int rightClientWidth = 0;  // vluHome_RightClient
  int barsHeight = 0;        // appBar + MainToolBar + tluHomeAppButtonsTitleBar
  int buttonCount = 0;
  bool editMode = false;
};

struct HomeGrid {
  static constexpr int kCell = 96;
  int columns = 0;
  int rows = 0;
  // Buttons on one page: every button in edit mode, else columns × rows. 0 when the window has
  // no room for one cell (or edit mode has no buttons): then there is no page to show.
  int pageSize = 0;
  int pageCount = 0;
};

HomeGrid ComputeHomeGrid(const HomeGridInput& input);

// The entries one page shows: positions first to last (inclusive) of the store's entries.
struct HomePage {
  int pageIndex = 1;
  int first = 0;
  int last = -1;  // below `first` when the page shows nothing
};

// Page 0 counts as page 1; a page past the entries becomes the last page that holds some.
HomePage ComputeHomePage(int pageIndex, int pageSize, int buttonCount);

// The home pager's spacer: (window width − edit button − right column − 1 − 30 × visible) / 2,
// never negative.
int HomePagerSpacerWidth(int windowWidth, int editButtonWidth, int rightClientWidth,
                         int visibleCount);

}  // namespace appcenter
