#include "skinui/layout_arithmetic.h"

#include <gtest/gtest.h>

namespace skinui {
namespace {

LayoutItem Fixed(int cx, int cy) {
  return {{cx, cy}, {}, {}, {}};
}
LayoutItem Flexible() {
  return {};
}

TEST(LayoutVerticalTest, FixedHeightsKeptAndRestSharedAmongFlexibleItems) {
  const auto r = LayoutVertical({0, 0, 200, 300}, {Fixed(0, 50), Flexible(), Flexible()}, 0);
  ASSERT_EQ(r.rects.size(), 3u);
  EXPECT_EQ(r.rects[0], (Rect{0, 0, 200, 50}));
  EXPECT_EQ(r.rects[1], (Rect{0, 50, 200, 175}));
  EXPECT_EQ(r.rects[2], (Rect{0, 175, 200, 300}));
  EXPECT_EQ(r.content.cy, 300);
}

TEST(LayoutVerticalTest, RoundingRemainderGoesToLaterItemsSoTheAreaIsFilled) {
  const auto r = LayoutVertical({0, 10, 100, 110}, {Flexible(), Flexible(), Flexible()}, 0);
  EXPECT_EQ(r.rects[0].Height(), 33);
  EXPECT_EQ(r.rects[1].Height(), 33);
  EXPECT_EQ(r.rects[2].Height(), 34);
  EXPECT_EQ(r.rects[2].bottom, 110);
}

TEST(LayoutVerticalTest, PaddingAndChildPaddingSeparateChildren) {
  LayoutItem padded = Fixed(0, 40);
  padded.padding = {5, 3, 7, 2};
  const auto r = LayoutVertical({10, 20, 110, 220}, {padded, Fixed(30, 20), Flexible()}, 4);
  EXPECT_EQ(r.rects[0], (Rect{15, 23, 103, 63}));
  // 63 + bottom padding 2 + child padding 4
  EXPECT_EQ(r.rects[1], (Rect{10, 69, 40, 89}));
  EXPECT_EQ(r.rects[2], (Rect{10, 93, 110, 220}));
}

TEST(LayoutVerticalTest, MinAndMaxBoundFlexibleShares) {
  LayoutItem capped = Flexible();
  capped.maxSize = {0, 30};
  LayoutItem floor = Flexible();
  floor.minSize = {0, 500};
  const auto r = LayoutVertical({0, 0, 50, 100}, {capped, floor}, 0);
  EXPECT_EQ(r.rects[0].Height(), 30);
  EXPECT_EQ(r.rects[1].Height(), 500);
  EXPECT_EQ(r.content.cy, 530);  // more than the area: a scrolling list shows a bar
}

TEST(LayoutVerticalTest, FixedItemsLargerThanTheAreaLeaveFlexibleOnesEmpty) {
  const auto r = LayoutVertical({0, 0, 50, 100}, {Fixed(0, 80), Fixed(0, 80), Flexible()}, 0);
  EXPECT_EQ(r.rects[2].Height(), 0);
  EXPECT_EQ(r.rects[2].top, 160);
}

TEST(LayoutHorizontalTest, MirrorsTheVerticalRules) {
  LayoutItem fixedWide = Fixed(60, 0);
  fixedWide.padding = {2, 4, 0, 0};
  const auto r = LayoutHorizontal({0, 0, 300, 40}, {fixedWide, Flexible(), Fixed(50, 20)}, 10);
  EXPECT_EQ(r.rects[0], (Rect{2, 4, 62, 40}));
  EXPECT_EQ(r.rects[1], (Rect{72, 0, 240, 40}));
  EXPECT_EQ(r.rects[2], (Rect{250, 0, 300, 20}));
}

TEST(LayoutTileTest, ColumnsOfEqualCellsRowsAsHighAsTheirChildren) {
  std::vector<LayoutItem> items(5, Fixed(96, 96));
  const auto r = LayoutTile({0, 0, 300, 1000}, items, 3, 0);
  EXPECT_EQ(r.rects[0], (Rect{0, 0, 96, 96}));
  EXPECT_EQ(r.rects[1], (Rect{100, 0, 196, 96}));
  EXPECT_EQ(r.rects[2], (Rect{200, 0, 296, 96}));
  EXPECT_EQ(r.rects[3], (Rect{0, 96, 96, 192}));
  EXPECT_EQ(r.content.cy, 192);
}

TEST(LayoutTileTest, FlexibleChildrenFillSquareCellsAndZeroColumnsMeansOne) {
  const auto r = LayoutTile({10, 10, 110, 500}, {Flexible(), Flexible()}, 0, 5);
  EXPECT_EQ(r.rects[0], (Rect{10, 10, 110, 110}));
  EXPECT_EQ(r.rects[1], (Rect{10, 115, 110, 215}));
}

TEST(LayoutFloatTest, PositionRelativeToParentWithFixedSizeFallback) {
  EXPECT_EQ(LayoutFloat({100, 50, 400, 300}, {10, 20, 40, 60}, {}), (Rect{110, 70, 140, 110}));
  EXPECT_EQ(LayoutFloat({100, 50, 400, 300}, {10, 20, 10, 20}, {25, 15}), (Rect{110, 70, 135, 85}));
}

TEST(ClampScrollTest, KeepsTheOffsetInsideTheScrollableRange) {
  EXPECT_EQ(ClampScroll(-5, 500, 200), 0);
  EXPECT_EQ(ClampScroll(250, 500, 200), 250);
  EXPECT_EQ(ClampScroll(400, 500, 200), 300);
  EXPECT_EQ(ClampScroll(50, 100, 200), 0);
}

}  // namespace
}  // namespace skinui
