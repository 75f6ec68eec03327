#include "skinui/layout_arithmetic.h"

#include <algorithm>

namespace skinui {

namespace {

int Bound(int value, int minValue, int maxValue) {
  if (maxValue > 0) value = std::min(value, maxValue);
  if (minValue > 0) value = std::max(value, minValue);
  return std::max(value, 0);
}

// Direction-neutral view of an item so that vertical and horizontal share one algorithm:
// "main" is the stacking direction, "cross" the other one.
struct Axis {
  bool vertical;
  int Main(Size s) const { return vertical ? s.cy : s.cx; }
  int Cross(Size s) const { return vertical ? s.cx : s.cy; }
  int MainBefore(const Rect& r) const { return vertical ? r.top : r.left; }
  int MainAfter(const Rect& r) const { return vertical ? r.bottom : r.right; }
  int CrossBefore(const Rect& r) const { return vertical ? r.left : r.top; }
  int CrossAfter(const Rect& r) const { return vertical ? r.right : r.bottom; }
  int MainStart(const Rect& a) const { return vertical ? a.top : a.left; }
  int CrossStart(const Rect& a) const { return vertical ? a.left : a.top; }
  int MainLength(const Rect& a) const { return vertical ? a.Height() : a.Width(); }
  int CrossLength(const Rect& a) const { return vertical ? a.Width() : a.Height(); }
  Rect Make(int main, int cross, int mainLen, int crossLen) const {
    return vertical ? Rect{cross, main, cross + crossLen, main + mainLen}
                    : Rect{main, cross, main + mainLen, cross + crossLen};
  }
};

LayoutResult LayoutLinear(const Axis& axis, const Rect& area, const std::vector<LayoutItem>& items,
                          int childPadding) {
  LayoutResult result;
  if (items.empty()) return result;
  // Step 1: what the fixed items and all margins take.
  int taken = childPadding * static_cast<int>(items.size() - 1);
  int flexible = 0;
  for (const auto& item : items) {
    taken += axis.MainBefore(item.padding) + axis.MainAfter(item.padding);
    const int fixed = axis.Main(item.fixed);
    if (fixed > 0) {
      taken += Bound(fixed, axis.Main(item.minSize), axis.Main(item.maxSize));
    } else {
      ++flexible;
    }
  }
  // Step 2: share the rest among the flexible items.
  int remaining = std::max(0, axis.MainLength(area) - taken);
  int flexLeft = flexible;
  int cursor = axis.MainStart(area);
  int crossExtent = 0;
  for (const auto& item : items) {
    int length = axis.Main(item.fixed);
    if (length > 0) {
      length = Bound(length, axis.Main(item.minSize), axis.Main(item.maxSize));
    } else {
      const int share = flexLeft > 0 ? remaining / flexLeft : 0;
      length = Bound(share, axis.Main(item.minSize), axis.Main(item.maxSize));
      remaining = std::max(0, remaining - length);
      --flexLeft;
    }
    const int crossAvail =
        axis.CrossLength(area) - axis.CrossBefore(item.padding) - axis.CrossAfter(item.padding);
    int crossLen = axis.Cross(item.fixed) > 0 ? axis.Cross(item.fixed) : crossAvail;
    crossLen = Bound(crossLen, axis.Cross(item.minSize), axis.Cross(item.maxSize));
    cursor += axis.MainBefore(item.padding);
    result.rects.push_back(axis.Make(cursor, axis.CrossStart(area) + axis.CrossBefore(item.padding),
                                     length, crossLen));
    cursor += length + axis.MainAfter(item.padding) + childPadding;
    crossExtent = std::max(
        crossExtent, crossLen + axis.CrossBefore(item.padding) + axis.CrossAfter(item.padding));
  }
  const int mainExtent = cursor - childPadding - axis.MainStart(area);
  result.content = axis.vertical ? Size{crossExtent, mainExtent} : Size{mainExtent, crossExtent};
  return result;
}

}  // namespace

LayoutResult LayoutVertical(const Rect& area, const std::vector<LayoutItem>& items,
                            int childPadding) {
  return LayoutLinear(Axis{true}, area, items, childPadding);
}

LayoutResult LayoutHorizontal(const Rect& area, const std::vector<LayoutItem>& items,
                              int childPadding) {
  return LayoutLinear(Axis{false}, area, items, childPadding);
}

LayoutResult LayoutTile(const Rect& area, const std::vector<LayoutItem>& items, int columns,
                        int childPadding) {
  LayoutResult result;
  if (items.empty()) return result;
  columns = std::max(columns, 1);
  const int cellWidth = std::max(0, (area.Width() - childPadding * (columns - 1)) / columns);
  int top = area.top;
  for (std::size_t rowStart = 0; rowStart < items.size(); rowStart += columns) {
    const std::size_t rowEnd = std::min(items.size(), rowStart + columns);
    int rowHeight = 0;
    for (std::size_t i = rowStart; i < rowEnd; ++i) {
      const auto& item = items[i];
      if (item.fixed.cy > 0) {
        rowHeight = std::max(rowHeight, item.fixed.cy + item.padding.top + item.padding.bottom);
      }
    }
    if (rowHeight == 0) rowHeight = cellWidth;
    for (std::size_t i = rowStart; i < rowEnd; ++i) {
      const auto& item = items[i];
      const int column = static_cast<int>(i - rowStart);
      const int cellLeft = area.left + column * (cellWidth + childPadding);
      const int availW = std::max(0, cellWidth - item.padding.left - item.padding.right);
      const int availH = std::max(0, rowHeight - item.padding.top - item.padding.bottom);
      const int w = item.fixed.cx > 0 ? std::min(item.fixed.cx, availW) : availW;
      const int h = item.fixed.cy > 0 ? std::min(item.fixed.cy, availH) : availH;
      const int l = cellLeft + item.padding.left;
      const int t = top + item.padding.top;
      result.rects.push_back({l, t, l + w, t + h});
    }
    top += rowHeight + childPadding;
  }
  const int usedColumns = static_cast<int>(std::min<std::size_t>(items.size(), columns));
  result.content = {usedColumns * cellWidth + (usedColumns - 1) * childPadding,
                    top - childPadding - area.top};
  return result;
}

Rect LayoutFloat(const Rect& parent, const Rect& pos, Size fixed) {
  const int w = pos.Width() > 0 ? pos.Width() : fixed.cx;
  const int h = pos.Height() > 0 ? pos.Height() : fixed.cy;
  const int l = parent.left + pos.left;
  const int t = parent.top + pos.top;
  return {l, t, l + std::max(w, 0), t + std::max(h, 0)};
}

int ClampScroll(int offset, int content, int view) {
  const int range = std::max(0, content - view);
  return std::clamp(offset, 0, range);
}

}  // namespace skinui
