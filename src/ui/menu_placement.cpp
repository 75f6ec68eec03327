#include "ui/menu_placement.h"

namespace ui {

namespace {

int Fit(int start, int length, int areaStart, int areaEnd) {
  if (start + length <= areaEnd) return start;
  return length > areaEnd - areaStart ? areaStart : areaEnd - length;
}

}  // namespace

skinui::Rect PlaceMenu(skinui::Point point, skinui::Size size, const skinui::Rect& workArea) {
  const int left = Fit(point.x, size.cx, workArea.left, workArea.right);
  const int top = Fit(point.y, size.cy, workArea.top, workArea.bottom);
  return {left, top, left + size.cx, top + size.cy};
}

}  // namespace ui
