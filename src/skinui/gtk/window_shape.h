#pragma once

#include <cstdint>
#include <vector>

#include "skinui/geometry.h"

namespace skinui::gtk {

// The rows of a rounded rectangle of the given size whose corners are quarter ellipses of
// `corner` (full ellipse width and height, as the layout's "roundcorner" gives them), merged
// into rectangles of equal width. Square corners give the whole rectangle.
std::vector<Rect> RoundRectSpans(Size size, Size corner);

// How many rows of a window sliding up into place are visible after `elapsedMs` of a
// slide of `durationMs` (linear, the whole height at the end).
int SlideInRevealedRows(std::int64_t elapsedMs, int durationMs, int height);

}  // namespace skinui::gtk
