#include "appcenter/home_grid.h"

#include <algorithm>

namespace appcenter {

HomeGrid ComputeHomeGrid(const HomeGridInput& input) {
  HomeGrid grid;
  const int freeWidth = input.windowWidth - input.rightClientWidth - 1;
  const int freeHeight = input.windowHeight - input.barsHeight - 24;
  grid.columns = std::max(0, freeWidth / HomeGrid::kCell);
  grid.rows = std::max(0, freeHeight / HomeGrid::kCell);
  grid.pageSize = input.editMode ? input.buttonCount : grid.columns * grid.rows;
  if (grid.pageSize > 0) {
    grid.pageCount =
        input.buttonCount / grid.pageSize + (input.buttonCount % grid.pageSize != 0 ? 1 : 0);
  }
  return grid;
}

HomePage ComputeHomePage(int pageIndex, int pageSize, int buttonCount) {
  HomePage page;
  page.pageIndex = std::max(1, pageIndex);
  if (pageSize <= 0) return page;
  page.first = pageSize * (page.pageIndex - 1);
  if (buttonCount > 0 && buttonCount <= page.first) {
    page.pageIndex = buttonCount / pageSize + (buttonCount % pageSize != 0 ? 1 : 0);
    page.first = pageSize * (page.pageIndex - 1);
  }
  page.last = std::min(pageSize * page.pageIndex, buttonCount) - 1;
  return page;
}

int HomePagerSpacerWidth(int windowWidth, int editButtonWidth, int rightClientWidth,
                         int visibleCount) {
  return std::max(0,
                  (windowWidth - editButtonWidth - rightClientWidth - 1 - 30 * visibleCount) / 2);
}

}  // namespace appcenter
