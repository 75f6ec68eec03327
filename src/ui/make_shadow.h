#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "skinui/geometry.h"

namespace ui {

// One row of a window's shape: the pixels from `left` up to (not including) `right` are inside.
struct ShadowSpan {
  int left = 0;
  int right = 0;
  bool Empty() const { return left >= right; }
};

// How a shadow looks: its solid alpha, the width of its soft edge, how far it reaches beyond
// the window, its shift against the window and its colour (0xRRGGBB).
struct ShadowLook {
  int darkness = 150;
  int sharpness = 5;
  int size = 0;
  int xOffset = 5;
  int yOffset = 5;
  std::uint32_t colour = 0;
};

// A shadow bitmap: rows from the top, 32-bit pixels 0xAARRGGBB with the colour premultiplied
// by the alpha (blue, green, red, alpha in memory on this byte order).
struct ShadowImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

// The rows of a window's shape, found by scanning each row from the left and from the right for
// the first pixel inside; a row without one is empty.
std::vector<ShadowSpan> ShapeRows(skinui::Size size, const std::function<bool(int, int)>& inside);
// Whether a pixel lies inside a window cut to a rounded rectangle one pixel wider and higher
// than the window, with corner ellipses of `corner` (0,0: square corners).
bool InsideRoundedWindow(skinui::Size size, skinui::Size corner, int x, int y);

// The shadow of a window whose shape has these rows (its width `parentWidth`): the shape grown by
// `size` on every side, eroded, blurred along its edges with a round kernel, filled solid inside
// and cut out where the window itself covers it (after the offset). The bitmap is
// (width + 2 size) × (rows + 2 size); empty when that is not positive.
ShadowImage MakeShadow(const std::vector<ShadowSpan>& parentRows, int parentWidth,
                       const ShadowLook& look);

}  // namespace ui
