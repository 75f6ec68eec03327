// Draws the pictures of the app center and the home app grid (the action button strips, the
// placeholder icons, the flying star, the grid button frames and their corner marks) with
// Cairo, so that every picture is reproducible from this file.
//   app_center_image_generator <skin folder>
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace {

using Draw = std::function<void(cairo_t*)>;

bool g_failed = false;

void Write(const std::string& path, int width, int height, const Draw& draw) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = cairo_create(surface);
  draw(cr);
  cairo_destroy(cr);
  if (cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    g_failed = true;
  }
  cairo_surface_destroy(surface);
}

void Rgb(cairo_t* cr, unsigned rgb, double alpha = 1.0) {
  cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                        (rgb & 0xFF) / 255.0, alpha);
}

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

unsigned Shade(unsigned rgb, double factor) {
  auto part = [&](int shift) {
    const double v = ((rgb >> shift) & 0xFF) * factor;
    return static_cast<unsigned>(v > 255 ? 255 : v) << shift;
  };
  return part(16) | part(8) | part(0);
}

// A strip of three 60-pixel states (normal, hot, pushed) of a rounded button in one colour.
void Strip(const std::string& path, int height, unsigned colour) {
  Write(path, 180, height, [&](cairo_t* cr) {
    const double factors[3] = {1.0, 1.12, 0.86};
    for (int state = 0; state < 3; ++state) {
      const unsigned c = Shade(colour, factors[state]);
      cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, height);
      const unsigned top = Shade(c, 1.08);
      cairo_pattern_add_color_stop_rgb(p, 0, ((top >> 16) & 0xFF) / 255.0,
                                       ((top >> 8) & 0xFF) / 255.0, (top & 0xFF) / 255.0);
      cairo_pattern_add_color_stop_rgb(p, 1, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                       (c & 0xFF) / 255.0);
      RoundRect(cr, state * 60 + 1, 1, 58, height - 2, 4);
      cairo_set_source(cr, p);
      cairo_fill_preserve(cr);
      cairo_pattern_destroy(p);
      Rgb(cr, Shade(c, 0.8));
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
    }
  });
}

// A placeholder picture: a light tile with a simple picture mark.
void Placeholder(const std::string& path, int size, unsigned colour) {
  Write(path, size, size, [&](cairo_t* cr) {
    RoundRect(cr, 1, 1, size - 2, size - 2, size / 8.0);
    Rgb(cr, 0xEEF2F7);
    cairo_fill_preserve(cr);
    Rgb(cr, 0xC9D3DE);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    const double s = size / 64.0;
    Rgb(cr, colour);
    cairo_move_to(cr, 14 * s, 46 * s);
    cairo_line_to(cr, 26 * s, 30 * s);
    cairo_line_to(cr, 34 * s, 40 * s);
    cairo_line_to(cr, 40 * s, 33 * s);
    cairo_line_to(cr, 50 * s, 46 * s);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_arc(cr, 42 * s, 21 * s, 5 * s, 0, 2 * M_PI);
    cairo_fill(cr);
  });
}

void Star(const std::string& path) {
  Write(path, 64, 64, [](cairo_t* cr) {
    for (int i = 0; i < 10; ++i) {
      const double r = i % 2 == 0 ? 30 : 13;
      const double a = -M_PI / 2 + i * M_PI / 5;
      const double x = 32 + r * std::cos(a);
      const double y = 33 + r * std::sin(a);
      if (i == 0) {
        cairo_move_to(cr, x, y);
      } else {
        cairo_line_to(cr, x, y);
      }
    }
    cairo_close_path(cr);
    Rgb(cr, 0xFFB400);
    cairo_fill_preserve(cr);
    Rgb(cr, 0xE08A00);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
  });
}

// The frame of a home grid button: transparent when normal, a soft tile when hot or pushed.
void GridButton(const std::string& path, double alpha, unsigned border) {
  Write(path, 96, 96, [&](cairo_t* cr) {
    if (alpha <= 0) return;
    RoundRect(cr, 4.5, 4.5, 87, 87, 8);
    cairo_set_source_rgba(cr, 1, 1, 1, alpha);
    cairo_fill_preserve(cr);
    Rgb(cr, border, 0.9);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  });
}

void DeleteMark(const std::string& path) {
  Write(path, 20, 20, [](cairo_t* cr) {
    cairo_arc(cr, 10, 10, 9, 0, 2 * M_PI);
    Rgb(cr, 0xE5484D);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 6.5, 6.5);
    cairo_line_to(cr, 13.5, 13.5);
    cairo_move_to(cr, 13.5, 6.5);
    cairo_line_to(cr, 6.5, 13.5);
    cairo_stroke(cr);
  });
}

void NewBadge(const std::string& path) {
  Write(path, 20, 15, [](cairo_t* cr) {
    RoundRect(cr, 0.5, 0.5, 19, 14, 3);
    Rgb(cr, 0xFF8A1F);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_select_font_face(cr, "sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 8.5);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, "New", &extents);
    cairo_move_to(cr, 10 - extents.width / 2 - extents.x_bearing, 10.5);
    cairo_show_text(cr, "New");
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <skin folder>\n", argv[0]);
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  Strip(dir + "button/install.png", 23, 0x2B7BD6);
  Strip(dir + "button/open.png", 23, 0x2FB344);
  Strip(dir + "button/update.png", 23, 0xFF8A1F);
  Strip(dir + "button/cancel.png", 26, 0x8A99A8);
  Placeholder(dir + "nopicinfo.png", 64, 0xA9B6C4);
  Placeholder(dir + "webdefault.png", 48, 0x7FA7D6);
  Star(dir + "star.png");
  GridButton(dir + "app_btn_normal.png", 0, 0);
  GridButton(dir + "app_btn_hover.png", 0.55, 0xC9D3DE);
  GridButton(dir + "app_btn_pushed.png", 0.8, 0x9FB3C8);
  DeleteMark(dir + "delete.png");
  NewBadge(dir + "New.png");
  return g_failed ? 1 : 0;
}

// Sanitizer builds: fontconfig (behind Cairo's text of the New badge) keeps its configuration
// and caches until the process ends, which the leak checker would report at the generator's
// exit.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
