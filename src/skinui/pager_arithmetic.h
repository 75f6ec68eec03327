#pragma once

#include <array>

namespace skinui {

// What the pager under a paged list shows for current page c of n pages: Prev, Next and ten
// numbered buttons.
struct PagerLayout {
  bool prevNextVisible = false;
  bool prevEnabled = false;
  bool nextEnabled = false;
  std::array<int, 10> numbers{};
  std::array<bool, 10> visible{};
  std::array<bool, 10> selected{};
  // Visible pager controls, Prev and Next included: the spacer centres this many 30-pixel
  // slots.
  int visibleCount = 0;
};

// One page: nothing visible (the buttons keep the numbers 1 to 10). More than ten pages: a
// window of ten numbers around the current page, shifted to end at the last page. Otherwise
// (0 to 10 pages) the numbers 1 to 10, those up to n visible. Prev is enabled from page 2 on,
// Next below the last page. With no pages Prev and Next are hidden and count nothing, unless
// `keepPrevNextWhenEmpty` (the home page's pager keeps them, disabled, counting 2).
PagerLayout ComputePager(int current, int count, bool keepPrevNextWhenEmpty = false);

// The width of the spacer that centres the pager under a window: ((width − 10) − 30 × visible)
// div 2, never negative.
int PagerSpacerWidth(int windowWidth, int visibleCount);

}  // namespace skinui
