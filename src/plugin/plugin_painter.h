#pragma once

#include <cairo.h>

namespace plugin {

// What an instance shows when it cannot reach its object.
inline constexpr const char* kErrorText = "Error occurred";

// Paints an instance's rectangle of width × height at the origin of `cr`: a one-pixel black frame
// along its edge and `text` (kErrorText when null) in black on one line, centred both ways. The
// inside is left as the window's background has it.
void PaintPluginArea(cairo_t* cr, int width, int height, const char* text);

}  // namespace plugin
