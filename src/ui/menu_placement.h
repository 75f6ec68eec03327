#pragma once

#include "skinui/geometry.h"

namespace ui {

// Where a pop-up menu of `size` opening at `point` (screen) stands: at the point, moved up so
// that its bottom touches the work area's bottom when it would pass it (to the work area's top
// when it is taller), and moved left in the same way at the right edge.
skinui::Rect PlaceMenu(skinui::Point point, skinui::Size size, const skinui::Rect& workArea);

}  // namespace ui
