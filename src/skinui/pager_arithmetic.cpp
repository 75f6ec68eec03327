#include "skinui/pager_arithmetic.h"

#include <algorithm>

namespace skinui {

PagerLayout ComputePager(int c, int n, bool keepPrevNextWhenEmpty) {
  PagerLayout layout;
  if (n == 1) {
    for (int k = 0; k < 10; ++k) layout.numbers[k] = k + 1;
    return layout;
  }
  layout.prevNextVisible = true;
  layout.prevEnabled = c >= 2;
  layout.nextEnabled = c < n;
  layout.visibleCount = 2;
  if (n > 10) {
    int first = ((c - 1) / 10) * 10 + 1;
    int last = first + 9;
    if (c > 5) {
      first = c <= 10 ? c - 4 : c - 5;
      last = first + 9;
    }
    if (n < last) {
      first = n - 9;
      last = n;
    }
    for (int k = 0; k < 10; ++k) {
      layout.numbers[k] = first + k;
      layout.visible[k] = first + k <= last;
      layout.selected[k] = first + k == c;
    }
  } else {
    for (int k = 0; k < 10; ++k) {
      layout.numbers[k] = k + 1;
      layout.visible[k] = k + 1 <= n;
      layout.selected[k] = k + 1 == c;
    }
  }
  for (bool v : layout.visible) layout.visibleCount += v ? 1 : 0;
  if (n <= 0) {
    // No pages (a negative count from a bad reply counts as none).
    layout.prevEnabled = layout.nextEnabled = false;
    if (!keepPrevNextWhenEmpty) {
      layout.prevNextVisible = false;
      layout.visibleCount = 0;
    }
  }
  return layout;
}

int PagerSpacerWidth(int windowWidth, int visibleCount) {
  return std::max(0, ((windowWidth - 10) - visibleCount * 30) / 2);
}

}  // namespace skinui
