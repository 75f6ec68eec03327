#include "skinui/gtk/window_shape.h"

#include <gtest/gtest.h>

namespace skinui::gtk {
namespace {

// Rows covered by the spans, as [left, right) per row.
std::vector<std::pair<int, int>> Rows(const std::vector<Rect>& spans, int height) {
  std::vector<std::pair<int, int>> rows(height, {0, 0});
  for (const Rect& r : spans) {
    for (int y = r.top; y < r.bottom; ++y) rows[y] = {r.left, r.right};
  }
  return rows;
}

TEST(RoundRectSpansTest, SquareCornersCoverTheWholeRectangle) {
  const auto spans = RoundRectSpans({200, 100}, {0, 0});
  ASSERT_EQ(spans.size(), 1u);
  EXPECT_EQ(spans[0], (Rect{0, 0, 200, 100}));
}

TEST(RoundRectSpansTest, CornersAreCutSymmetricallyAndTheMiddleIsWhole) {
  const int w = 120, h = 80;
  const auto rows = Rows(RoundRectSpans({w, h}, {12, 12}), h);
  // The first row is cut the most; it is symmetric left to right and top to bottom.
  EXPECT_GT(rows[0].first, 2);
  EXPECT_EQ(rows[0].first, w - rows[0].second);
  for (int y = 0; y < h; ++y) EXPECT_EQ(rows[y], rows[h - 1 - y]) << y;
  // The cut shrinks towards the middle, which is whole.
  for (int y = 1; y < 6; ++y) EXPECT_LE(rows[y].first, rows[y - 1].first) << y;
  for (int y = 6; y < h - 6; ++y) EXPECT_EQ(rows[y], (std::pair{0, w})) << y;
}

TEST(RoundRectSpansTest, RowsOfEqualWidthAreMerged) {
  const auto spans = RoundRectSpans({300, 300}, {6, 6});
  // A few corner rows at each end, one rectangle for the middle.
  EXPECT_LE(spans.size(), 7u);
  for (std::size_t i = 1; i < spans.size(); ++i) EXPECT_EQ(spans[i].top, spans[i - 1].bottom);
  EXPECT_EQ(spans.front().top, 0);
  EXPECT_EQ(spans.back().bottom, 300);
}

TEST(RoundRectSpansTest, CornersLargerThanTheWindowAreClamped) {
  const auto rows = Rows(RoundRectSpans({40, 20}, {400, 400}), 20);
  // An ellipse filling the rectangle: the middle rows reach both sides.
  EXPECT_EQ(rows[10], (std::pair{0, 40}));
  EXPECT_GT(rows[0].first, 10);
}

TEST(RoundRectSpansTest, EmptyWindowHasNoShape) {
  EXPECT_TRUE(RoundRectSpans({0, 50}, {5, 5}).empty());
  EXPECT_TRUE(RoundRectSpans({50, -1}, {5, 5}).empty());
}

TEST(SlideInTest, RevealsLinearlyOverTheDuration) {
  EXPECT_EQ(SlideInRevealedRows(0, 1000, 190), 0);
  EXPECT_EQ(SlideInRevealedRows(250, 1000, 200), 50);
  EXPECT_EQ(SlideInRevealedRows(500, 1000, 190), 95);
  EXPECT_EQ(SlideInRevealedRows(999, 1000, 190), 189);
  EXPECT_EQ(SlideInRevealedRows(1000, 1000, 190), 190);
  EXPECT_EQ(SlideInRevealedRows(5000, 1000, 190), 190);
}

TEST(SlideInTest, NoDurationShowsAtOnceAndTimeBeforeTheStartShowsNothing) {
  EXPECT_EQ(SlideInRevealedRows(0, 0, 190), 190);
  EXPECT_EQ(SlideInRevealedRows(-20, 1000, 190), 0);
  EXPECT_EQ(SlideInRevealedRows(500, 1000, 0), 0);
}

}  // namespace
}  // namespace skinui::gtk
