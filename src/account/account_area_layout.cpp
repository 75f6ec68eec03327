#include "account/account_area_layout.h"

namespace account {
namespace {

// The frame's border and the bottom margin below the areas.
constexpr int kHorizontalMargin = 10;
constexpr int kVerticalMargin = 24;

}  // namespace

AreaOffsets CentreAccountArea(int windowWidth, int windowHeight, int appBarHeight,
                              int toolBarHeight, int areaWidth, int areaHeight) {
  return {(windowWidth - areaWidth - kHorizontalMargin) / 2,
          (windowHeight - appBarHeight - toolBarHeight - areaHeight - kVerticalMargin) / 2};
}

}  // namespace account
