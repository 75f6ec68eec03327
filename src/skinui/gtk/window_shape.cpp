#include "skinui/gtk/window_shape.h"

#include <algorithm>
#include <cmath>

namespace skinui::gtk {

namespace {

// How far row `y` of a corner zone `radiusY` high lies inside an ellipse of radius `radiusX`.
int CornerInset(int y, double radiusX, double radiusY) {
  const double dy = radiusY - (y + 0.5);
  if (dy <= 0) return 0;
  const double ratio = std::min(dy / radiusY, 1.0);
  return static_cast<int>(std::lround(radiusX - radiusX * std::sqrt(1.0 - ratio * ratio)));
}

}  // namespace

std::vector<Rect> RoundRectSpans(Size size, Size corner) {
  std::vector<Rect> spans;
  if (size.cx <= 0 || size.cy <= 0) return spans;
  const double radiusX = std::clamp(corner.cx, 0, size.cx) / 2.0;
  const double radiusY = std::clamp(corner.cy, 0, size.cy) / 2.0;
  if (radiusX < 1 || radiusY < 1) return {Rect{0, 0, size.cx, size.cy}};
  const int zone = static_cast<int>(std::ceil(radiusY));
  for (int y = 0; y < size.cy; ++y) {
    int inset = 0;
    if (y < zone) {
      inset = CornerInset(y, radiusX, radiusY);
    } else if (y >= size.cy - zone) {
      inset = CornerInset(size.cy - 1 - y, radiusX, radiusY);
    }
    const Rect row{inset, y, size.cx - inset, y + 1};
    if (row.IsEmpty()) continue;
    if (!spans.empty() && spans.back().bottom == y && spans.back().left == row.left &&
        spans.back().right == row.right) {
      spans.back().bottom = y + 1;
    } else {
      spans.push_back(row);
    }
  }
  return spans;
}

int SlideInRevealedRows(std::int64_t elapsedMs, int durationMs, int height) {
  if (height <= 0) return 0;
  if (durationMs <= 0 || elapsedMs >= durationMs) return height;
  if (elapsedMs <= 0) return 0;
  return static_cast<int>(static_cast<std::int64_t>(height) * elapsedMs / durationMs);
}

}  // namespace skinui::gtk
