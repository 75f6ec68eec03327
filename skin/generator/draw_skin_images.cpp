// Draws the window library's skin images (message box icons and buttons, pager strips, close
// buttons) with Cairo, so that every picture of the skin is reproducible from this file.
//   skin_image_generator <skin folder>
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace {

using Draw = std::function<void(cairo_t*)>;

bool Write(const std::string& path, int width, int height, const Draw& draw) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = cairo_create(surface);
  draw(cr);
  cairo_destroy(cr);
  const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return ok;
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

// A round badge with a shaded face; `mark` draws the symbol in white.
void Badge(cairo_t* cr, double size, unsigned top, unsigned bottom, const Draw& mark) {
  cairo_pattern_t* face = cairo_pattern_create_linear(0, 0, 0, size);
  cairo_pattern_add_color_stop_rgb(face, 0, ((top >> 16) & 0xFF) / 255.0,
                                   ((top >> 8) & 0xFF) / 255.0, (top & 0xFF) / 255.0);
  cairo_pattern_add_color_stop_rgb(face, 1, ((bottom >> 16) & 0xFF) / 255.0,
                                   ((bottom >> 8) & 0xFF) / 255.0, (bottom & 0xFF) / 255.0);
  cairo_arc(cr, size / 2, size / 2, size / 2 - 1.5, 0, 2 * M_PI);
  cairo_set_source(cr, face);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(face);
  Rgb(cr, bottom, 0.8);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  mark(cr);
}

void Triangle(cairo_t* cr, double size, unsigned top, unsigned bottom, const Draw& mark) {
  cairo_pattern_t* face = cairo_pattern_create_linear(0, 0, 0, size);
  cairo_pattern_add_color_stop_rgb(face, 0, ((top >> 16) & 0xFF) / 255.0,
                                   ((top >> 8) & 0xFF) / 255.0, (top & 0xFF) / 255.0);
  cairo_pattern_add_color_stop_rgb(face, 1, ((bottom >> 16) & 0xFF) / 255.0,
                                   ((bottom >> 8) & 0xFF) / 255.0, (bottom & 0xFF) / 255.0);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 4);
  cairo_move_to(cr, size / 2, 4);
  cairo_line_to(cr, size - 3, size - 4);
  cairo_line_to(cr, 3, size - 4);
  cairo_close_path(cr);
  cairo_set_source(cr, face);
  cairo_fill_preserve(cr);
  cairo_stroke(cr);
  cairo_pattern_destroy(face);
  cairo_set_source_rgb(cr, 1, 1, 1);
  mark(cr);
}

void Icons(const std::string& dir) {
  const double s = 40;
  Write(dir + "/MessageBox/msg_info.png", 40, 40, [&](cairo_t* cr) {
    Badge(cr, s, 0x4FA3F0, 0x1F6FC4, [&](cairo_t* c) {
      cairo_arc(c, s / 2, 12, 2.8, 0, 2 * M_PI);
      cairo_fill(c);
      cairo_rectangle(c, s / 2 - 2.5, 17, 5, 14);
      cairo_fill(c);
    });
  });
  Write(dir + "/MessageBox/msg_warning.png", 40, 40, [&](cairo_t* cr) {
    Triangle(cr, s, 0xFFC94A, 0xE89A12, [&](cairo_t* c) {
      cairo_rectangle(c, s / 2 - 2.2, 14, 4.4, 12);
      cairo_fill(c);
      cairo_arc(c, s / 2, 30.5, 2.4, 0, 2 * M_PI);
      cairo_fill(c);
    });
  });
  Write(dir + "/MessageBox/msg_error.png", 40, 40, [&](cairo_t* cr) {
    Badge(cr, s, 0xF2675F, 0xC8302A, [&](cairo_t* c) {
      cairo_set_line_width(c, 4.5);
      cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
      cairo_move_to(c, 13, 13);
      cairo_line_to(c, 27, 27);
      cairo_move_to(c, 27, 13);
      cairo_line_to(c, 13, 27);
      cairo_stroke(c);
    });
  });
  Write(dir + "/MessageBox/msg_ques.png", 40, 40, [&](cairo_t* cr) {
    Badge(cr, s, 0x5CC98A, 0x2E9A5C, [&](cairo_t* c) {
      cairo_set_line_width(c, 4);
      cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
      cairo_arc(c, s / 2, 15, 6, M_PI * 1.05, M_PI * 2.35);
      cairo_line_to(c, s / 2, 24);
      cairo_stroke(c);
      cairo_arc(c, s / 2, 30.5, 2.5, 0, 2 * M_PI);
      cairo_fill(c);
    });
  });
}

// A strip of three states (normal, hot, pushed) side by side.
void ButtonStrip(const std::string& path, int w, int h, unsigned base, unsigned border) {
  Write(path, w * 3, h, [&](cairo_t* cr) {
    const double shades[3] = {0.0, 0.12, -0.12};
    for (int i = 0; i < 3; ++i) {
      auto shade = [&](unsigned c) {
        double v = c / 255.0 + shades[i];
        return v < 0 ? 0.0 : (v > 1 ? 1.0 : v);
      };
      RoundRect(cr, i * w + 0.5, 0.5, w - 1, h - 1, 3);
      cairo_set_source_rgb(cr, shade((base >> 16) & 0xFF), shade((base >> 8) & 0xFF),
                           shade(base & 0xFF));
      cairo_fill_preserve(cr);
      Rgb(cr, border);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
    }
  });
}

void CloseStrip(const std::string& path) {
  Write(path, 3 * 28, 28, [&](cairo_t* cr) {
    const unsigned backs[3] = {0x000000, 0xE81123, 0xB50D1C};
    const double alphas[3] = {0.0, 1.0, 1.0};
    for (int i = 0; i < 3; ++i) {
      cairo_rectangle(cr, i * 28, 0, 28, 28);
      Rgb(cr, backs[i], alphas[i]);
      cairo_fill(cr);
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_set_line_width(cr, 1.6);
      cairo_move_to(cr, i * 28 + 9, 9);
      cairo_line_to(cr, i * 28 + 19, 19);
      cairo_move_to(cr, i * 28 + 19, 9);
      cairo_line_to(cr, i * 28 + 9, 19);
      cairo_stroke(cr);
    }
  });
}

// page_draw.png: disabled Prev, Prev, disabled Next, Next, each 21 × 24.
void PagerArrows(const std::string& dir) {
  Write(dir + "/page_draw.png", 84, 24, [&](cairo_t* cr) {
    for (int i = 0; i < 4; ++i) {
      const bool enabled = i % 2 == 1;
      const bool next = i >= 2;
      const double x = i * 21;
      RoundRect(cr, x + 1.5, 2.5, 18, 19, 3);
      Rgb(cr, enabled ? 0xFFFFFF : 0xF2F2F2);
      cairo_fill_preserve(cr);
      Rgb(cr, enabled ? 0x8DB2E3 : 0xD4D4D4);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
      Rgb(cr, enabled ? 0x2F6FC0 : 0xB4B4B4);
      const double cx = x + 10.5;
      if (next) {
        cairo_move_to(cr, cx - 2.5, 7.5);
        cairo_line_to(cr, cx + 3.5, 12);
        cairo_line_to(cr, cx - 2.5, 16.5);
      } else {
        cairo_move_to(cr, cx + 2.5, 7.5);
        cairo_line_to(cr, cx - 3.5, 12);
        cairo_line_to(cr, cx + 2.5, 16.5);
      }
      cairo_close_path(cr);
      cairo_fill(cr);
    }
  });
}

// page_bkg.png: page number button normal, hot, pushed/selected, each 21 × 24.
void PagerButtons(const std::string& dir) {
  Write(dir + "/page_bkg.png", 63, 24, [&](cairo_t* cr) {
    const unsigned fills[3] = {0xFFFFFF, 0xE4EEFB, 0x2F6FC0};
    const unsigned borders[3] = {0xD0D7E2, 0x8DB2E3, 0x2A5FA5};
    for (int i = 0; i < 3; ++i) {
      RoundRect(cr, i * 21 + 1.5, 2.5, 18, 19, 3);
      Rgb(cr, fills[i]);
      cairo_fill_preserve(cr);
      Rgb(cr, borders[i]);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
    }
  });
}

}  // namespace

// The pop-up menus' shadow: a soft dark border 8 pixels wide around a clear middle, drawn by
// the shadow window under the menu (the top corner area is wider for the menu's arrow side).
void MenuShadow(const std::string& path) {
  Write(path, 64, 64, [](cairo_t* cr) {
    constexpr int kMargin = 8;
    for (int ring = 0; ring < kMargin; ++ring) {
      const double alpha = 0.18 * (ring + 1) / kMargin;
      RoundRect(cr, ring + 0.5, ring + 1.5, 63 - 2 * ring, 62 - 2 * ring, kMargin - ring + 2);
      cairo_set_source_rgba(cr, 0.1, 0.15, 0.25, alpha * alpha * 6);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
    }
  });
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <skin folder>\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  Icons(dir);
  ButtonStrip(dir + "/MessageBox/btn_blue.png", 72, 28, 0x3A7FD5, 0x2A5FA5);
  ButtonStrip(dir + "/MessageBox/btn_white.png", 72, 28, 0xF7F7F7, 0xC4C4C4);
  CloseStrip(dir + "/MessageBox/close.png");
  PagerArrows(dir);
  PagerButtons(dir);
  MenuShadow(dir + "/menu_bk.png");
  return 0;
}
