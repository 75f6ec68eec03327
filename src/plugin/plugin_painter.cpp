#include "plugin_painter.h"

namespace plugin {

void PaintPluginArea(cairo_t* cr, int width, int height, const char* text) {
  if (width <= 0 || height <= 0) return;
  cairo_save(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  // The frame covers the outermost row and column of pixels: a one-pixel line drawn along the
  // pixel centres, so it is not smeared over two pixels.
  cairo_set_line_width(cr, 1.0);
  cairo_rectangle(cr, 0.5, 0.5, width - 1.0, height - 1.0);
  cairo_stroke(cr);

  const char* line = text != nullptr ? text : kErrorText;
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 12.0);
  cairo_text_extents_t extents{};
  cairo_text_extents(cr, line, &extents);
  // Centre the ink of the line, not its advance, so that the text sits in the middle as seen.
  const double x = (width - extents.width) / 2.0 - extents.x_bearing;
  const double y = (height - extents.height) / 2.0 - extents.y_bearing;
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, line);
  cairo_restore(cr);
}

}  // namespace plugin
