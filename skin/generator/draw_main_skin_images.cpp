// Draws the pictures of the main window's skin (caption and tool bar icons, buttons, check
// boxes, skins, the empty-list pictures, share buttons, the progress bar, the default
// advertisement) with Cairo and Pango, so that every picture is reproducible from this file.
//   main_skin_image_generator <skin folder>
#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using Draw = std::function<void(cairo_t*)>;

// The skin's palette.
constexpr unsigned kBlue = 0x2B7BD6;
constexpr unsigned kBlueLight = 0x4A93E8;
constexpr unsigned kBlueDark = 0x1F63B5;
constexpr unsigned kInk = 0x34495E;
constexpr unsigned kGrey = 0x8A99A8;
constexpr unsigned kLine = 0xC9D3DE;
constexpr unsigned kRed = 0xE5484D;
constexpr unsigned kGreen = 0x2FB344;
constexpr unsigned kOrange = 0xFF8A1F;

bool g_failed = false;

cairo_surface_t* Paint(int width, int height, const Draw& draw) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = cairo_create(surface);
  draw(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  return surface;
}

void Write(const std::string& path, int width, int height, const Draw& draw) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  cairo_surface_t* surface = Paint(width, height, draw);
  if (cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    g_failed = true;
  }
  cairo_surface_destroy(surface);
}

// A JPEG (no alpha) through gdk-pixbuf: the advertisement's fallback picture is a ".jpg".
void WriteJpeg(const std::string& path, int width, int height, const Draw& draw) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  cairo_surface_t* surface = Paint(width, height, draw);
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
  const unsigned char* src = cairo_image_surface_get_data(surface);
  const int srcStride = cairo_image_surface_get_stride(surface);
  unsigned char* dst = gdk_pixbuf_get_pixels(pixbuf);
  const int dstStride = gdk_pixbuf_get_rowstride(pixbuf);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto* p = reinterpret_cast<const std::uint32_t*>(src + y * srcStride) + x;
      unsigned char* q = dst + y * dstStride + x * 3;
      q[0] = (*p >> 16) & 0xFF;
      q[1] = (*p >> 8) & 0xFF;
      q[2] = *p & 0xFF;
    }
  }
  GError* error = nullptr;
  if (!gdk_pixbuf_save(pixbuf, path.c_str(), "jpeg", &error, "quality", "92", nullptr)) {
    std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error ? error->message : "?");
    if (error) g_error_free(error);
    g_failed = true;
  }
  g_object_unref(pixbuf);
  cairo_surface_destroy(surface);
}

void Rgb(cairo_t* cr, unsigned rgb, double alpha = 1.0) {
  cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                        (rgb & 0xFF) / 255.0, alpha);
}

void White(cairo_t* cr, double alpha = 1.0) {
  cairo_set_source_rgba(cr, 1, 1, 1, alpha);
}

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void Gradient(cairo_t* cr, double y0, double y1, unsigned top, unsigned bottom) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgb(p, 0, ((top >> 16) & 0xFF) / 255.0, ((top >> 8) & 0xFF) / 255.0,
                                   (top & 0xFF) / 255.0);
  cairo_pattern_add_color_stop_rgb(p, 1, ((bottom >> 16) & 0xFF) / 255.0,
                                   ((bottom >> 8) & 0xFF) / 255.0, (bottom & 0xFF) / 255.0);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}

void Pen(cairo_t* cr, double width) {
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
}

// Centred text in the skin's Chinese face.
void Text(cairo_t* cr, const std::string& text, double cx, double y, int pixels, unsigned rgb,
          bool bold = false) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_from_string(
      "Noto Sans CJK SC, Source Han Sans SC, WenQuanYi Micro Hei, sans");
  pango_font_description_set_absolute_size(font, pixels * PANGO_SCALE);
  if (bold) pango_font_description_set_weight(font, PANGO_WEIGHT_BOLD);
  pango_layout_set_font_description(layout, font);
  pango_layout_set_text(layout, text.c_str(), -1);
  int w = 0;
  int h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  Rgb(cr, rgb);
  cairo_move_to(cr, cx - w / 2.0, y);
  pango_cairo_show_layout(cr, layout);
  pango_font_description_free(font);
  g_object_unref(layout);
}

// ---------------------------------------------------------------------------------------------
// Glyphs: drawn in the current source colour inside a square of `s` at (x, y).

using Glyph = std::function<void(cairo_t*, double x, double y, double s)>;

void GlyphMin(cairo_t* cr, double x, double y, double s) {
  cairo_move_to(cr, x + s * 0.25, y + s * 0.55);
  cairo_line_to(cr, x + s * 0.75, y + s * 0.55);
  cairo_stroke(cr);
}

void GlyphMax(cairo_t* cr, double x, double y, double s) {
  cairo_rectangle(cr, x + s * 0.27, y + s * 0.27, s * 0.46, s * 0.46);
  cairo_stroke(cr);
}

void GlyphRestore(cairo_t* cr, double x, double y, double s) {
  cairo_rectangle(cr, x + s * 0.24, y + s * 0.36, s * 0.4, s * 0.4);
  cairo_stroke(cr);
  cairo_move_to(cr, x + s * 0.36, y + s * 0.36);
  cairo_line_to(cr, x + s * 0.36, y + s * 0.24);
  cairo_line_to(cr, x + s * 0.76, y + s * 0.24);
  cairo_line_to(cr, x + s * 0.76, y + s * 0.64);
  cairo_line_to(cr, x + s * 0.64, y + s * 0.64);
  cairo_stroke(cr);
}

void GlyphClose(cairo_t* cr, double x, double y, double s) {
  cairo_move_to(cr, x + s * 0.3, y + s * 0.3);
  cairo_line_to(cr, x + s * 0.7, y + s * 0.7);
  cairo_move_to(cr, x + s * 0.7, y + s * 0.3);
  cairo_line_to(cr, x + s * 0.3, y + s * 0.7);
  cairo_stroke(cr);
}

void GlyphMenu(cairo_t* cr, double x, double y, double s) {
  for (double f : {0.32, 0.5, 0.68}) {
    cairo_move_to(cr, x + s * 0.26, y + s * f);
    cairo_line_to(cr, x + s * 0.74, y + s * f);
  }
  cairo_stroke(cr);
}

void GlyphSkin(cairo_t* cr, double x, double y, double s) {
  // A T-shirt.
  const double p[][2] = {{0.38, 0.22}, {0.22, 0.32}, {0.28, 0.46}, {0.34, 0.43}, {0.34, 0.78},
                         {0.66, 0.78}, {0.66, 0.43}, {0.72, 0.46}, {0.78, 0.32}, {0.62, 0.22}};
  cairo_move_to(cr, x + s * p[0][0], y + s * p[0][1]);
  for (const auto& q : p) cairo_line_to(cr, x + s * q[0], y + s * q[1]);
  cairo_curve_to(cr, x + s * 0.58, y + s * 0.3, x + s * 0.42, y + s * 0.3, x + s * 0.38,
                 y + s * 0.22);
  cairo_close_path(cr);
  cairo_stroke(cr);
}

void GlyphFeedback(cairo_t* cr, double x, double y, double s) {
  // A speech bubble with two lines.
  RoundRect(cr, x + s * 0.2, y + s * 0.24, s * 0.6, s * 0.42, s * 0.08);
  cairo_stroke(cr);
  cairo_move_to(cr, x + s * 0.36, y + s * 0.66);
  cairo_line_to(cr, x + s * 0.32, y + s * 0.8);
  cairo_line_to(cr, x + s * 0.48, y + s * 0.66);
  cairo_stroke(cr);
  cairo_move_to(cr, x + s * 0.32, y + s * 0.38);
  cairo_line_to(cr, x + s * 0.68, y + s * 0.38);
  cairo_move_to(cr, x + s * 0.32, y + s * 0.52);
  cairo_line_to(cr, x + s * 0.56, y + s * 0.52);
  cairo_stroke(cr);
}

void GlyphGlobe(cairo_t* cr, double x, double y, double s) {
  const double cx = x + s / 2;
  const double cy = y + s / 2;
  const double r = s * 0.28;
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_stroke(cr);
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, 0.45, 1.0);
  cairo_arc(cr, 0, 0, r, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_stroke(cr);
  cairo_move_to(cr, cx - r, cy);
  cairo_line_to(cr, cx + r, cy);
  cairo_stroke(cr);
}

void GlyphHelp(cairo_t* cr, double x, double y, double s) {
  const double cx = x + s / 2;
  const double cy = y + s / 2;
  cairo_arc(cr, cx, cy, s * 0.29, 0, 2 * M_PI);
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy - s * 0.06, s * 0.1, M_PI * 1.1, M_PI * 2.3);
  cairo_line_to(cr, cx, cy + s * 0.08);
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy + s * 0.17, s * 0.022, 0, 2 * M_PI);
  cairo_fill(cr);
}

// ---------------------------------------------------------------------------------------------
// Caption bar

// A strip of normal, hot and pushed caption buttons with a white glyph.
void CaptionButton(const std::string& path, const Glyph& glyph, bool danger = false,
                   bool onLight = false) {
  constexpr int w = 30;
  constexpr int h = 26;
  Write(path, w * 3, h, [&](cairo_t* cr) {
    for (int i = 0; i < 3; ++i) {
      const double x = i * w;
      if (i > 0) {
        RoundRect(cr, x + 1, 1, w - 2, h - 2, 3);
        if (danger) {
          Rgb(cr, i == 1 ? kRed : 0xC53036);
        } else {
          White(cr, i == 1 ? 0.2 : 0.32);
        }
        cairo_fill(cr);
      }
      if (onLight && i == 0) {
        Rgb(cr, 0x6B7B8C);
      } else {
        White(cr, i == 0 ? 0.92 : 1.0);
      }
      Pen(cr, 1.4);
      glyph(cr, x + (w - 22) / 2.0, (h - 22) / 2.0, 22);
    }
  });
}

void CaptionBar(const std::string& dir) {
  CaptionButton(dir + "/main/sys_min.png", GlyphMin);
  CaptionButton(dir + "/main/sys_max.png", GlyphMax);
  CaptionButton(dir + "/main/sys_restore.png", GlyphRestore);
  CaptionButton(dir + "/main/sys_close.png", GlyphClose, true);
  // The close button of the small windows with a light title.
  CaptionButton(dir + "/main/sys_close_dark.png", GlyphClose, true, true);
  CaptionButton(dir + "/main/sys_menu.png", GlyphMenu);
  CaptionButton(dir + "/main/sys_skin.png", GlyphSkin);
  CaptionButton(dir + "/main/sys_feedback.png", GlyphFeedback);
  CaptionButton(dir + "/main/sys_webhome.png", GlyphGlobe);
  CaptionButton(dir + "/main/sys_help.png", GlyphHelp);

  // The product mark: a roof over a ruled block, white on a rounded blue square.
  for (const auto& [name, size] : {std::pair{"logo_small.png", 20}, {"logo.png", 44}}) {
    Write(dir + "/main/" + name, size, size, [&, size = size](cairo_t* cr) {
      const double s = size;
      RoundRect(cr, 0.5, 0.5, s - 1, s - 1, s * 0.22);
      Gradient(cr, 0, s, 0x5FB0FF, 0x1E6BC6);
      cairo_fill_preserve(cr);
      White(cr, 0.9);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
      White(cr);
      Pen(cr, s * 0.08);
      cairo_move_to(cr, s * 0.2, s * 0.48);
      cairo_line_to(cr, s * 0.5, s * 0.22);
      cairo_line_to(cr, s * 0.8, s * 0.48);
      cairo_stroke(cr);
      cairo_rectangle(cr, s * 0.3, s * 0.48, s * 0.4, s * 0.3);
      cairo_stroke(cr);
      cairo_move_to(cr, s * 0.5, s * 0.48);
      cairo_line_to(cr, s * 0.5, s * 0.78);
      cairo_stroke(cr);
    });
  }

  // Network state: signal bars, green when the service answers, grey with a red mark when not.
  for (const bool ok : {true, false}) {
    Write(dir + (ok ? "/network/netstateok2.png" : "/network/netstateerror2.png"), 16, 16,
          [&](cairo_t* cr) {
            for (int i = 0; i < 4; ++i) {
              const double h = 4 + i * 3;
              cairo_rectangle(cr, 1 + i * 3.5, 15 - h, 2.5, h);
            }
            if (ok) {
              Rgb(cr, 0x7CE08A);
            } else {
              White(cr, 0.55);
            }
            cairo_fill(cr);
            if (!ok) {
              cairo_arc(cr, 11.5, 4.5, 4.2, 0, 2 * M_PI);
              Rgb(cr, kRed);
              cairo_fill(cr);
              White(cr);
              Pen(cr, 1.4);
              GlyphClose(cr, 7.5, 0.5, 8);
            }
          });
  }
}

// ---------------------------------------------------------------------------------------------
// Tool bar

void ToolbarStates(const std::string& dir) {
  // Nine-slice backgrounds of the tool bar's options: hot, pushed, selected.
  const double fills[3] = {0.14, 0.26, 0.22};
  const char* names[3] = {"tab_hot.png", "tab_pushed.png", "tab_selected.png"};
  for (int i = 0; i < 3; ++i) {
    Write(dir + "/toolbar/" + names[i], 24, 24, [&](cairo_t* cr) {
      RoundRect(cr, 0.5, 0.5, 23, 23, 6);
      White(cr, fills[i]);
      cairo_fill_preserve(cr);
      White(cr, i == 2 ? 0.45 : 0.18);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
    });
  }
}

// One tool bar icon on the canvas of its option (76 × 82): the 40-pixel glyph at the top, the
// option's text goes below it.
void ToolbarIcon(const std::string& path, const Glyph& glyph) {
  Write(path, 76, 82, [&](cairo_t* cr) {
    // A soft shadow, then the white glyph.
    cairo_save(cr);
    cairo_translate(cr, 0, 1.2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.18);
    Pen(cr, 2.6);
    glyph(cr, 18, 9, 40);
    cairo_restore(cr);
    White(cr);
    Pen(cr, 2.4);
    glyph(cr, 18, 9, 40);
  });
}

void IconHome(cairo_t* cr, double x, double y, double s) {
  cairo_move_to(cr, x + s * 0.12, y + s * 0.48);
  cairo_line_to(cr, x + s * 0.5, y + s * 0.14);
  cairo_line_to(cr, x + s * 0.88, y + s * 0.48);
  cairo_stroke(cr);
  cairo_move_to(cr, x + s * 0.22, y + s * 0.4);
  cairo_line_to(cr, x + s * 0.22, y + s * 0.86);
  cairo_line_to(cr, x + s * 0.78, y + s * 0.86);
  cairo_line_to(cr, x + s * 0.78, y + s * 0.4);
  cairo_stroke(cr);
  cairo_rectangle(cr, x + s * 0.42, y + s * 0.6, s * 0.16, s * 0.26);
  cairo_stroke(cr);
}

void IconBook(cairo_t* cr, double x, double y, double s) {
  cairo_move_to(cr, x + s * 0.5, y + s * 0.26);
  cairo_curve_to(cr, x + s * 0.38, y + s * 0.18, x + s * 0.22, y + s * 0.18, x + s * 0.1,
                 y + s * 0.22);
  cairo_line_to(cr, x + s * 0.1, y + s * 0.8);
  cairo_curve_to(cr, x + s * 0.22, y + s * 0.76, x + s * 0.38, y + s * 0.76, x + s * 0.5,
                 y + s * 0.84);
  cairo_curve_to(cr, x + s * 0.62, y + s * 0.76, x + s * 0.78, y + s * 0.76, x + s * 0.9,
                 y + s * 0.8);
  cairo_line_to(cr, x + s * 0.9, y + s * 0.22);
  cairo_curve_to(cr, x + s * 0.78, y + s * 0.18, x + s * 0.62, y + s * 0.18, x + s * 0.5,
                 y + s * 0.26);
  cairo_line_to(cr, x + s * 0.5, y + s * 0.84);
  cairo_stroke(cr);
  for (double f : {0.38, 0.52}) {
    cairo_move_to(cr, x + s * 0.2, y + s * f);
    cairo_line_to(cr, x + s * 0.4, y + s * (f + 0.02));
    cairo_move_to(cr, x + s * 0.6, y + s * (f + 0.02));
    cairo_line_to(cr, x + s * 0.8, y + s * f);
  }
  cairo_stroke(cr);
}

void IconApps(cairo_t* cr, double x, double y, double s) {
  for (int i = 0; i < 4; ++i) {
    const double ox = x + s * (i % 2 == 0 ? 0.14 : 0.54);
    const double oy = y + s * (i / 2 == 0 ? 0.14 : 0.54);
    if (i == 3) {
      cairo_arc(cr, ox + s * 0.16, oy + s * 0.16, s * 0.17, 0, 2 * M_PI);
    } else {
      RoundRect(cr, ox, oy, s * 0.32, s * 0.32, s * 0.07);
    }
    cairo_stroke(cr);
  }
}

void IconQuestion(cairo_t* cr, double x, double y, double s) {
  RoundRect(cr, x + s * 0.1, y + s * 0.14, s * 0.8, s * 0.56, s * 0.14);
  cairo_stroke(cr);
  cairo_move_to(cr, x + s * 0.3, y + s * 0.7);
  cairo_line_to(cr, x + s * 0.24, y + s * 0.88);
  cairo_line_to(cr, x + s * 0.46, y + s * 0.7);
  cairo_stroke(cr);
  cairo_arc(cr, x + s * 0.5, y + s * 0.36, s * 0.09, M_PI * 1.05, M_PI * 2.3);
  cairo_line_to(cr, x + s * 0.5, y + s * 0.5);
  cairo_stroke(cr);
  cairo_arc(cr, x + s * 0.5, y + s * 0.6, s * 0.025, 0, 2 * M_PI);
  cairo_fill(cr);
}

void IconTemplate(cairo_t* cr, double x, double y, double s) {
  cairo_move_to(cr, x + s * 0.2, y + s * 0.1);
  cairo_line_to(cr, x + s * 0.62, y + s * 0.1);
  cairo_line_to(cr, x + s * 0.8, y + s * 0.28);
  cairo_line_to(cr, x + s * 0.8, y + s * 0.9);
  cairo_line_to(cr, x + s * 0.2, y + s * 0.9);
  cairo_close_path(cr);
  cairo_stroke(cr);
  cairo_move_to(cr, x + s * 0.62, y + s * 0.1);
  cairo_line_to(cr, x + s * 0.62, y + s * 0.28);
  cairo_line_to(cr, x + s * 0.8, y + s * 0.28);
  cairo_stroke(cr);
  // A floor plan.
  cairo_rectangle(cr, x + s * 0.32, y + s * 0.42, s * 0.36, s * 0.34);
  cairo_stroke(cr);
  cairo_move_to(cr, x + s * 0.5, y + s * 0.42);
  cairo_line_to(cr, x + s * 0.5, y + s * 0.6);
  cairo_move_to(cr, x + s * 0.32, y + s * 0.6);
  cairo_line_to(cr, x + s * 0.42, y + s * 0.6);
  cairo_stroke(cr);
}

void IconVideo(cairo_t* cr, double x, double y, double s) {
  RoundRect(cr, x + s * 0.1, y + s * 0.2, s * 0.8, s * 0.56, s * 0.1);
  cairo_stroke(cr);
  cairo_move_to(cr, x + s * 0.42, y + s * 0.35);
  cairo_line_to(cr, x + s * 0.62, y + s * 0.48);
  cairo_line_to(cr, x + s * 0.42, y + s * 0.61);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_move_to(cr, x + s * 0.34, y + s * 0.88);
  cairo_line_to(cr, x + s * 0.66, y + s * 0.88);
  cairo_stroke(cr);
}

void IconGame(cairo_t* cr, double x, double y, double s) {
  RoundRect(cr, x + s * 0.08, y + s * 0.28, s * 0.84, s * 0.46, s * 0.2);
  cairo_stroke(cr);
  cairo_move_to(cr, x + s * 0.3, y + s * 0.41);
  cairo_line_to(cr, x + s * 0.3, y + s * 0.61);
  cairo_move_to(cr, x + s * 0.2, y + s * 0.51);
  cairo_line_to(cr, x + s * 0.4, y + s * 0.51);
  cairo_stroke(cr);
  cairo_arc(cr, x + s * 0.66, y + s * 0.45, s * 0.045, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_arc(cr, x + s * 0.76, y + s * 0.56, s * 0.045, 0, 2 * M_PI);
  cairo_fill(cr);
}

void IconCompass(cairo_t* cr, double x, double y, double s) {
  const double cx = x + s / 2;
  const double cy = y + s / 2;
  cairo_arc(cr, cx, cy, s * 0.38, 0, 2 * M_PI);
  cairo_stroke(cr);
  cairo_move_to(cr, cx + s * 0.16, cy - s * 0.16);
  cairo_line_to(cr, cx + s * 0.05, cy + s * 0.05);
  cairo_line_to(cr, cx - s * 0.16, cy + s * 0.16);
  cairo_line_to(cr, cx - s * 0.05, cy - s * 0.05);
  cairo_close_path(cr);
  cairo_stroke_preserve(cr);
  cairo_fill(cr);
}

void IconShare(cairo_t* cr, double x, double y, double s) {
  const double a[2] = {x + s * 0.72, y + s * 0.22};
  const double b[2] = {x + s * 0.26, y + s * 0.5};
  const double c[2] = {x + s * 0.72, y + s * 0.78};
  cairo_move_to(cr, a[0], a[1]);
  cairo_line_to(cr, b[0], b[1]);
  cairo_line_to(cr, c[0], c[1]);
  cairo_stroke(cr);
  for (const double* p : {a, b, c}) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, p[0], p[1], s * 0.11, 0, 2 * M_PI);
  }
  cairo_fill(cr);
}

void IconPartners(cairo_t* cr, double x, double y, double s) {
  for (const double ox : {0.34, 0.66}) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + s * ox, y + s * 0.3, s * 0.12, 0, 2 * M_PI);
    cairo_stroke(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + s * ox, y + s * 0.84, s * 0.22, M_PI * 1.05, M_PI * 1.95);
    cairo_stroke(cr);
  }
  cairo_move_to(cr, x + s * 0.42, y + s * 0.66);
  cairo_line_to(cr, x + s * 0.58, y + s * 0.66);
  cairo_stroke(cr);
}

void Toolbar(const std::string& dir) {
  ToolbarStates(dir);
  ToolbarIcon(dir + "/toolbar/home.png", IconHome);
  ToolbarIcon(dir + "/toolbar/knowlege.png", IconBook);
  ToolbarIcon(dir + "/toolbar/appmarket.png", IconApps);
  ToolbarIcon(dir + "/toolbar/faq.png", IconQuestion);
  ToolbarIcon(dir + "/toolbar/template.png", IconTemplate);
  ToolbarIcon(dir + "/toolbar/video.png", IconVideo);
  ToolbarIcon(dir + "/toolbar/game.png", IconGame);
  ToolbarIcon(dir + "/toolbar/navigate.png", IconCompass);
  ToolbarIcon(dir + "/toolbar/share.png", IconShare);
  ToolbarIcon(dir + "/toolbar/cooperation.png", IconPartners);
}

// ---------------------------------------------------------------------------------------------
// Buttons, check boxes, navigation

// Nine-slice button states side by side (normal, hot, pushed, disabled), each 24 × 32.
void ButtonStates(const std::string& path, const std::function<void(cairo_t*, int state)>& face) {
  Write(path, 24 * 4, 32, [&](cairo_t* cr) {
    for (int i = 0; i < 4; ++i) {
      cairo_save(cr);
      cairo_translate(cr, i * 24, 0);
      face(cr, i);
      cairo_restore(cr);
    }
  });
}

void Buttons(const std::string& dir) {
  ButtonStates(dir + "/common/btn_primary.png", [](cairo_t* cr, int state) {
    const unsigned tops[4] = {0x4C9AEB, 0x63A9F0, 0x2A74CC, 0xB9C9DA};
    const unsigned bottoms[4] = {0x2B7BD6, 0x3A8AE2, 0x1F63B5, 0xAEBFD0};
    RoundRect(cr, 0.5, 0.5, 23, 31, 4);
    Gradient(cr, 0, 32, tops[state], bottoms[state]);
    cairo_fill_preserve(cr);
    Rgb(cr, state == 3 ? 0xA3B4C6 : kBlueDark);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  });
  ButtonStates(dir + "/common/btn_normal.png", [](cairo_t* cr, int state) {
    const unsigned tops[4] = {0xFFFFFF, 0xF5F9FE, 0xE2ECF8, 0xF2F4F6};
    const unsigned bottoms[4] = {0xF1F4F8, 0xE8F1FC, 0xD9E6F5, 0xF2F4F6};
    const unsigned borders[4] = {kLine, kBlueLight, kBlue, 0xDDE2E7};
    RoundRect(cr, 0.5, 0.5, 23, 31, 4);
    Gradient(cr, 0, 32, tops[state], bottoms[state]);
    cairo_fill_preserve(cr);
    Rgb(cr, borders[state]);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  });
  // A search button with a magnifier on the right of its text area: blue, 24 × 32 slices.
  ButtonStates(dir + "/common/btn_search.png", [](cairo_t* cr, int state) {
    const unsigned tops[4] = {0x3F93EA, 0x55A3F0, 0x2469BF, 0xB9C9DA};
    const unsigned bottoms[4] = {0x2B7BD6, 0x3A8AE2, 0x1C5CAA, 0xAEBFD0};
    RoundRect(cr, -6, 0, 29.5, 32, 4);
    Gradient(cr, 0, 32, tops[state], bottoms[state]);
    cairo_fill(cr);
  });

  // A drop-down box: a framed field with the arrow in its right 26 pixels (corner
  // '4,4,26,4'); normal, hot, pushed, each 64 × 32 (a corner may take half a slice at most).
  Write(dir + "/common/combo.png", 64 * 3, 32, [](cairo_t* cr) {
    for (int i = 0; i < 3; ++i) {
      const double x = i * 64 + 16;
      RoundRect(cr, x - 15.5, 0.5, 63, 31, 3);
      Rgb(cr, i == 2 ? 0xF0F5FB : 0xFFFFFF);
      cairo_fill_preserve(cr);
      Rgb(cr, i == 0 ? kLine : kBlueLight);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
      Rgb(cr, i == 0 ? kGrey : kBlue);
      cairo_move_to(cr, x + 29.5, 13.5);
      cairo_line_to(cr, x + 38.5, 13.5);
      cairo_line_to(cr, x + 34, 19);
      cairo_close_path(cr);
      cairo_fill(cr);
    }
  });

  // Check boxes: an unticked box, the box under the pointer, a ticked box. The box keeps the
  // left 20 pixels (corner '20,0,0,0', on a canvas twice as wide); the rest is the option's text.
  const char* names[3] = {"checkbox_normal.png", "checkbox_hot.png", "checkbox_checked.png"};
  for (int i = 0; i < 3; ++i) {
    Write(dir + "/common/" + names[i], 40, 20, [&](cairo_t* cr) {
      RoundRect(cr, 1.5, 3.5, 14, 14, 2.5);
      if (i == 2) {
        Rgb(cr, kBlue);
        cairo_fill(cr);
        White(cr);
        Pen(cr, 1.8);
        cairo_move_to(cr, 4.8, 10.5);
        cairo_line_to(cr, 7.6, 13.3);
        cairo_line_to(cr, 12.6, 7.6);
        cairo_stroke(cr);
      } else {
        White(cr);
        cairo_fill_preserve(cr);
        Rgb(cr, i == 1 ? kBlue : 0xA4B2C1);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
      }
    });
  }

  // Navigation options: a blue tint with a bar along the bottom edge (corner '0,0,0,3'), and
  // the lighter tint under the pointer. Both are translucent: the option's icon shows through.
  Write(dir + "/common/nav_selected.png", 4, 8, [](cairo_t* cr) {
    Rgb(cr, kBlue, 0.09);
    cairo_paint(cr);
    cairo_rectangle(cr, 0, 5, 4, 3);
    Rgb(cr, kBlue);
    cairo_fill(cr);
  });
  Write(dir + "/common/nav_hot.png", 4, 4, [](cairo_t* cr) {
    Rgb(cr, kBlue, 0.05);
    cairo_paint(cr);
  });

  // The app center's category tabs (hot; pushed and selected).
  Write(dir + "/app_market/lefttab_over.png", 8, 38, [](cairo_t* cr) {
    Rgb(cr, 0xE9F2FD);
    cairo_paint(cr);
  });
  Write(dir + "/app_market/lefttab_down.png", 8, 38, [](cairo_t* cr) {
    Gradient(cr, 0, 38, 0x3F8FE6, 0x2B7BD6);
    cairo_paint(cr);
  });

  // The user center's menu arrow (normal, hot, pushed), 16 × 16 each.
  Write(dir + "/user/menu_arrow.png", 48, 16, [](cairo_t* cr) {
    for (int i = 0; i < 3; ++i) {
      if (i > 0) {
        RoundRect(cr, i * 16 + 0.5, 0.5, 15, 15, 3);
        Rgb(cr, i == 1 ? 0xE3EEFB : 0xD3E3F7);
        cairo_fill(cr);
      }
      Rgb(cr, i == 0 ? kGrey : kBlue);
      cairo_move_to(cr, i * 16 + 4.5, 6.5);
      cairo_line_to(cr, i * 16 + 11.5, 6.5);
      cairo_line_to(cr, i * 16 + 8, 10.5);
      cairo_close_path(cr);
      cairo_fill(cr);
    }
  });
}

// Small grey icons of the knowledge page's navigation: the 18-pixel glyph in the left 40 pixels
// of an 80 × 40 canvas (corner '40,0,0,0' keeps them; a corner may take half the image).
void NavIcon(const std::string& path, const Glyph& glyph) {
  Write(path, 80, 40, [&](cairo_t* cr) {
    Rgb(cr, 0x5B6B7C);
    Pen(cr, 1.5);
    glyph(cr, 12, 11, 18);
  });
}

void IconDownload(cairo_t* cr, double x, double y, double s) {
  cairo_move_to(cr, x + s * 0.5, y + s * 0.12);
  cairo_line_to(cr, x + s * 0.5, y + s * 0.64);
  cairo_move_to(cr, x + s * 0.28, y + s * 0.44);
  cairo_line_to(cr, x + s * 0.5, y + s * 0.66);
  cairo_line_to(cr, x + s * 0.72, y + s * 0.44);
  cairo_move_to(cr, x + s * 0.14, y + s * 0.7);
  cairo_line_to(cr, x + s * 0.14, y + s * 0.88);
  cairo_line_to(cr, x + s * 0.86, y + s * 0.88);
  cairo_line_to(cr, x + s * 0.86, y + s * 0.7);
  cairo_stroke(cr);
}

void IconDone(cairo_t* cr, double x, double y, double s) {
  cairo_arc(cr, x + s / 2, y + s / 2, s * 0.4, 0, 2 * M_PI);
  cairo_stroke(cr);
  cairo_move_to(cr, x + s * 0.3, y + s * 0.52);
  cairo_line_to(cr, x + s * 0.45, y + s * 0.66);
  cairo_line_to(cr, x + s * 0.7, y + s * 0.38);
  cairo_stroke(cr);
}

void IconSearch(cairo_t* cr, double x, double y, double s) {
  cairo_arc(cr, x + s * 0.42, y + s * 0.42, s * 0.28, 0, 2 * M_PI);
  cairo_stroke(cr);
  cairo_move_to(cr, x + s * 0.63, y + s * 0.63);
  cairo_line_to(cr, x + s * 0.86, y + s * 0.86);
  cairo_stroke(cr);
}

void IconFolder(cairo_t* cr, double x, double y, double s) {
  cairo_move_to(cr, x + s * 0.1, y + s * 0.22);
  cairo_line_to(cr, x + s * 0.4, y + s * 0.22);
  cairo_line_to(cr, x + s * 0.48, y + s * 0.32);
  cairo_line_to(cr, x + s * 0.9, y + s * 0.32);
  cairo_line_to(cr, x + s * 0.9, y + s * 0.82);
  cairo_line_to(cr, x + s * 0.1, y + s * 0.82);
  cairo_close_path(cr);
  cairo_stroke(cr);
}

void Navigation(const std::string& dir) {
  NavIcon(dir + "/knowlege/nav_search.png", IconSearch);
  NavIcon(dir + "/knowlege/nav_downloading.png", IconDownload);
  NavIcon(dir + "/knowlege/nav_downloaded.png", IconDone);
  NavIcon(dir + "/knowlege/nav_folder.png", IconFolder);
  // The big mark of the search home.
  Write(dir + "/knowlege/search_mark.png", 64, 64, [](cairo_t* cr) {
    RoundRect(cr, 2, 2, 60, 60, 14);
    Gradient(cr, 0, 64, 0x5FB0FF, 0x1E6BC6);
    cairo_fill(cr);
    White(cr);
    Pen(cr, 3.2);
    IconBook(cr, 12, 12, 40);
  });
}

// The download queue's progress bar: a sunken light track and the blue fill drawn over the
// finished part. Both are stretched to the bar, so they shade only from top to bottom.
void ProgressBar(const std::string& dir) {
  Write(dir + "/progress_back.png", 64, 10, [](cairo_t* cr) {
    Gradient(cr, 0, 10, 0xDCE3EB, 0xEEF2F6);
    cairo_paint(cr);
    cairo_rectangle(cr, 0, 0, 64, 1);
    Rgb(cr, kLine);
    cairo_fill(cr);
  });
  Write(dir + "/progress_fore.png", 64, 10, [](cairo_t* cr) {
    Gradient(cr, 0, 10, kBlueLight, kBlueDark);
    cairo_paint(cr);
    cairo_rectangle(cr, 0, 1, 64, 2);
    White(cr, 0.25);
    cairo_fill(cr);
  });
}

// ---------------------------------------------------------------------------------------------
// Home page

void Home(const std::string& dir) {
  Write(dir + "/user/avatar_default.png", 64, 64, [](cairo_t* cr) {
    cairo_arc(cr, 32, 32, 31, 0, 2 * M_PI);
    Gradient(cr, 0, 64, 0xE6EEF7, 0xD0DDEB);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    Rgb(cr, 0xA9BCD0);
    cairo_arc(cr, 32, 26, 11, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_arc(cr, 32, 62, 22, M_PI, 2 * M_PI);
    cairo_fill(cr);
    cairo_restore(cr);
    White(cr);
    cairo_set_line_width(cr, 2);
    cairo_arc(cr, 32, 32, 30, 0, 2 * M_PI);
    cairo_stroke(cr);
  });

  // Rings over the avatar under the pointer and pressed.
  for (const bool pushed : {false, true}) {
    Write(dir + (pushed ? "/user/avatar_pushed.png" : "/user/avatar_hot.png"), 64, 64,
          [pushed](cairo_t* cr) {
            cairo_arc(cr, 32, 32, 30.5, 0, 2 * M_PI);
            Rgb(cr, pushed ? kBlueDark : kBlueLight);
            cairo_set_line_width(cr, 2.5);
            cairo_stroke(cr);
            if (pushed) {
              cairo_arc(cr, 32, 32, 29, 0, 2 * M_PI);
              Rgb(cr, 0x000000, 0.08);
              cairo_fill(cr);
            }
          });
  }

  // The hint over an empty app grid.
  Write(dir + "/home/apps_empty.png", 360, 200, [](cairo_t* cr) {
    for (int i = 0; i < 3; ++i) {
      RoundRect(cr, 108 + i * 52, 28, 40, 40, 9);
      Rgb(cr, i == 1 ? 0xCFE0F5 : 0xE1EAF4);
      cairo_fill(cr);
    }
    Rgb(cr, kBlue);
    Pen(cr, 2);
    cairo_move_to(cr, 180, 40);
    cairo_line_to(cr, 180, 56);
    cairo_move_to(cr, 172, 48);
    cairo_line_to(cr, 188, 48);
    cairo_stroke(cr);
    Text(cr, "还没有添加应用工具", 180, 92, 16, 0x51606F, true);
    Text(cr, "在【应用中心】安装的应用会出现在这里，", 180, 124, 13, kGrey);
    Text(cr, "点击即可启动。", 180, 146, 13, kGrey);
  });

  // Share buttons: one square per target (all, QQ zone, QQ weibo, sina, baidu).
  for (const int s : {16, 32}) {
    Write(dir + "/share_to/sharebtn_" + std::to_string(s) + ".png", s * 5, s, [s](cairo_t* cr) {
      const unsigned colours[5] = {kOrange, 0xF5B800, 0x2B9BE0, 0xE6352B, 0x3167D8};
      for (int k = 0; k < 5; ++k) {
        const double x = k * s;
        RoundRect(cr, x + 0.5, 0.5, s - 1, s - 1, s * 0.22);
        Rgb(cr, colours[k]);
        cairo_fill(cr);
        White(cr);
        Pen(cr, s / 14.0);
        const double g = s * 0.16;
        const double w = s - 2 * g;
        switch (k) {
          case 0:
            IconShare(cr, x + g, g, w);
            break;
          case 1: {
            // A star.
            const double cx = x + s / 2.0;
            const double cy = s / 2.0 + s * 0.04;
            for (int i = 0; i < 10; ++i) {
              const double r = i % 2 == 0 ? s * 0.34 : s * 0.15;
              const double a = -M_PI / 2 + i * M_PI / 5;
              if (i == 0) {
                cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
              } else {
                cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
              }
            }
            cairo_close_path(cr);
            cairo_fill(cr);
            break;
          }
          case 2:
            // Waves of a broadcast.
            for (int i = 1; i <= 3; ++i) {
              cairo_new_sub_path(cr);
              cairo_arc(cr, x + s * 0.3, s * 0.7, s * 0.16 * i, -M_PI / 2, 0);
            }
            cairo_stroke(cr);
            break;
          case 3:
            // An eye.
            cairo_save(cr);
            cairo_translate(cr, x + s / 2.0, s / 2.0);
            cairo_scale(cr, 1.0, 0.62);
            cairo_arc(cr, 0, 0, s * 0.32, 0, 2 * M_PI);
            cairo_restore(cr);
            cairo_stroke(cr);
            cairo_arc(cr, x + s / 2.0, s / 2.0, s * 0.1, 0, 2 * M_PI);
            cairo_fill(cr);
            break;
          default:
            // A paw.
            cairo_arc(cr, x + s / 2.0, s * 0.62, s * 0.17, 0, 2 * M_PI);
            cairo_fill(cr);
            for (const double dx : {-0.24, -0.08, 0.08, 0.24}) {
              const double dy = std::abs(dx) > 0.2 ? 0.42 : 0.3;
              cairo_arc(cr, x + s * (0.5 + dx), s * dy, s * 0.065, 0, 2 * M_PI);
              cairo_fill(cr);
            }
            break;
        }
      }
    });
  }

  // The advertisement shown when none could be loaded.
  WriteJpeg(dir + "/AdDefault.jpg", 280, 120, [](cairo_t* cr) {
    cairo_rectangle(cr, 0, 0, 280, 120);
    Gradient(cr, 0, 120, 0x3D8BE3, 0x1C5BB0);
    cairo_fill(cr);
    // A skyline with a crane.
    White(cr, 0.16);
    const double blocks[][4] = {{14, 70, 30, 50},  {48, 50, 26, 70},  {78, 82, 34, 38},
                                {196, 58, 28, 62}, {228, 76, 40, 44}, {116, 92, 60, 28}};
    for (const auto& b : blocks) {
      cairo_rectangle(cr, b[0], b[1], b[2], b[3]);
    }
    cairo_fill(cr);
    White(cr, 0.3);
    Pen(cr, 2);
    cairo_move_to(cr, 176, 120);
    cairo_line_to(cr, 176, 22);
    cairo_line_to(cr, 262, 22);
    cairo_move_to(cr, 150, 22);
    cairo_line_to(cr, 176, 22);
    cairo_move_to(cr, 240, 22);
    cairo_line_to(cr, 240, 44);
    cairo_stroke(cr);
    Text(cr, "真诚携手，共赢共荣。", 140, 34, 18, 0xFFFFFF, true);
    Text(cr, "Tamsel · 建筑从业者的桌面助手", 140, 66, 12, 0xDCEBFF);
  });
}

// The round marks of the cooperation page's three offers.
void CooperationMarks(const std::string& dir) {
  const struct {
    const char* name;
    unsigned top, bottom;
    Glyph glyph;
  } marks[] = {{"card_docs.png", 0x5FB0FF, 0x1E6BC6, IconBook},
               {"card_apps.png", 0x55D6A0, 0x1F9E6B, IconApps},
               {"card_ads.png", 0xFFB35C, 0xE8741A, IconShare}};
  for (const auto& mark : marks) {
    Write(dir + "/cooperation/" + mark.name, 44, 44, [&](cairo_t* cr) {
      cairo_arc(cr, 22, 22, 21, 0, 2 * M_PI);
      Gradient(cr, 0, 44, mark.top, mark.bottom);
      cairo_fill(cr);
      White(cr);
      Pen(cr, 2);
      mark.glyph(cr, 11, 11, 22);
    });
  }
  // The numbered steps of the cooperation and the arrows between them.
  Write(dir + "/cooperation/step.png", 36, 36, [](cairo_t* cr) {
    cairo_arc(cr, 18, 18, 17, 0, 2 * M_PI);
    Gradient(cr, 0, 36, 0x5FA8F5, kBlue);
    cairo_fill_preserve(cr);
    White(cr, 0.6);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  });
  Write(dir + "/cooperation/arrow.png", 60, 12, [](cairo_t* cr) {
    Rgb(cr, 0xB7C6D6);
    cairo_set_line_width(cr, 1.5);
    const double dashes[] = {4, 4};
    cairo_set_dash(cr, dashes, 2, 0);
    cairo_move_to(cr, 2, 6);
    cairo_line_to(cr, 52, 6);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    Pen(cr, 1.5);
    cairo_move_to(cr, 52, 2);
    cairo_line_to(cr, 57, 6);
    cairo_line_to(cr, 52, 10);
    cairo_stroke(cr);
  });
}

// ---------------------------------------------------------------------------------------------
// Empty lists and loading pages

void EmptyPictures(const std::string& dir) {
  Write(dir + "/nodatainfo.png", 300, 300, [](cairo_t* cr) {
    cairo_arc(cr, 150, 128, 92, 0, 2 * M_PI);
    Rgb(cr, 0xEEF3F8);
    cairo_fill(cr);
    // An open, empty tray.
    Rgb(cr, 0xB7C6D6);
    Pen(cr, 3);
    cairo_move_to(cr, 92, 128);
    cairo_line_to(cr, 112, 88);
    cairo_line_to(cr, 188, 88);
    cairo_line_to(cr, 208, 128);
    cairo_line_to(cr, 208, 170);
    cairo_line_to(cr, 92, 170);
    cairo_close_path(cr);
    cairo_stroke(cr);
    cairo_move_to(cr, 92, 128);
    cairo_line_to(cr, 128, 128);
    cairo_line_to(cr, 136, 142);
    cairo_line_to(cr, 164, 142);
    cairo_line_to(cr, 172, 128);
    cairo_line_to(cr, 208, 128);
    cairo_stroke(cr);
    Text(cr, "暂无数据", 150, 238, 18, 0x6B7B8C, true);
    Text(cr, "稍后再来看看吧", 150, 266, 13, kGrey);
  });
  Write(dir + "/net_error.png", 173, 130, [](cairo_t* cr) {
    // A cloud crossed out.
    Rgb(cr, 0xC3D0DD);
    cairo_arc(cr, 70, 50, 22, M_PI * 0.9, M_PI * 1.9);
    cairo_arc(cr, 100, 46, 17, M_PI * 1.2, M_PI * 2.1);
    cairo_arc(cr, 112, 62, 12, M_PI * 1.5, M_PI * 0.5);
    cairo_line_to(cr, 56, 74);
    cairo_arc(cr, 56, 62, 12, M_PI * 0.5, M_PI * 1.5);
    cairo_close_path(cr);
    cairo_fill(cr);
    Rgb(cr, kRed);
    Pen(cr, 3);
    cairo_move_to(cr, 62, 30);
    cairo_line_to(cr, 110, 84);
    cairo_stroke(cr);
    Text(cr, "网络连接失败", 86.5, 92, 14, 0x6B7B8C, true);
    Text(cr, "请检查网络后重试", 86.5, 112, 11, kGrey);
  });
  const auto searched = [](cairo_t* cr, bool apps) {
    if (apps) {
      IconApps(cr, 70, 20, 70);
    } else {
      cairo_rectangle(cr, 78, 22, 54, 68);
      cairo_stroke(cr);
      for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, 88, 40 + i * 14);
        cairo_line_to(cr, 122, 40 + i * 14);
      }
      cairo_stroke(cr);
    }
  };
  for (const bool apps : {false, true}) {
    Write(dir + (apps ? "/nosearchapp.png" : "/nosearchfiles.png"), 240, 180, [&](cairo_t* cr) {
      cairo_arc(cr, 120, 62, 58, 0, 2 * M_PI);
      Rgb(cr, 0xEEF3F8);
      cairo_fill(cr);
      Rgb(cr, 0xB7C6D6);
      Pen(cr, 3);
      searched(cr, apps);
      Rgb(cr, kBlue);
      Pen(cr, 4);
      cairo_arc(cr, 148, 84, 18, 0, 2 * M_PI);
      cairo_stroke(cr);
      cairo_move_to(cr, 161, 97);
      cairo_line_to(cr, 176, 112);
      cairo_stroke(cr);
      Text(cr, apps ? "没有找到相关应用" : "没有找到相关资料", 120, 132, 15, 0x6B7B8C, true);
      Text(cr, "换个关键字试试", 120, 156, 12, kGrey);
    });
  }
  // The picture of a web page that is still loading.
  Write(dir + "/common/loading_page.png", 48, 48, [](cairo_t* cr) {
    Rgb(cr, 0xD8E3EE);
    Pen(cr, 4);
    cairo_arc(cr, 24, 24, 18, 0, 2 * M_PI);
    cairo_stroke(cr);
    Rgb(cr, kBlue);
    cairo_arc(cr, 24, 24, 18, -M_PI / 2, M_PI * 0.35);
    cairo_stroke(cr);
  });
}

// ---------------------------------------------------------------------------------------------
// Skins

struct Hsv {
  double h, s, v;
};

void SetHsv(cairo_pattern_t* p, double offset, Hsv c, double alpha = 1.0) {
  const double h = std::fmod(c.h, 360.0) / 60.0;
  const double x = c.v * c.s * (1 - std::abs(std::fmod(h, 2.0) - 1));
  const double k = c.v * c.s;
  double r = 0, g = 0, b = 0;
  switch (static_cast<int>(h)) {
    case 0:
      r = k, g = x;
      break;
    case 1:
      r = x, g = k;
      break;
    case 2:
      g = k, b = x;
      break;
    case 3:
      g = x, b = k;
      break;
    case 4:
      r = x, b = k;
      break;
    default:
      r = k, b = x;
      break;
  }
  const double m = c.v - k;
  cairo_pattern_add_color_stop_rgba(p, offset, r + m, g + m, b + m, alpha);
}

// A background of 640 × 480: a diagonal gradient with one of several soft patterns over it.
void Background(const std::string& path, Hsv from, Hsv to, int pattern) {
  Write(path, 640, 480, [&](cairo_t* cr) {
    cairo_pattern_t* base = cairo_pattern_create_linear(0, 0, 640, 480);
    SetHsv(base, 0, from);
    SetHsv(base, 1, to);
    cairo_set_source(cr, base);
    cairo_paint(cr);
    cairo_pattern_destroy(base);
    switch (pattern) {
      case 0:  // soft discs
        for (int i = 0; i < 14; ++i) {
          const double x = std::fmod(i * 173.0, 640.0);
          const double y = std::fmod(i * 97.0 + 40, 480.0);
          const double r = 30 + (i * 37) % 70;
          cairo_pattern_t* glow = cairo_pattern_create_radial(x, y, 0, x, y, r);
          cairo_pattern_add_color_stop_rgba(glow, 0, 1, 1, 1, 0.16);
          cairo_pattern_add_color_stop_rgba(glow, 1, 1, 1, 1, 0);
          cairo_set_source(cr, glow);
          cairo_arc(cr, x, y, r, 0, 2 * M_PI);
          cairo_fill(cr);
          cairo_pattern_destroy(glow);
        }
        break;
      case 1:  // diagonal bands
        for (int i = -6; i < 14; ++i) {
          cairo_move_to(cr, i * 70, 0);
          cairo_line_to(cr, i * 70 + 40, 0);
          cairo_line_to(cr, i * 70 + 40 + 480, 480);
          cairo_line_to(cr, i * 70 + 480, 480);
          cairo_close_path(cr);
        }
        White(cr, 0.05);
        cairo_fill(cr);
        break;
      case 2:  // waves
        for (int i = 0; i < 7; ++i) {
          cairo_move_to(cr, 0, 60 + i * 60);
          for (int x = 0; x <= 640; x += 20) {
            cairo_line_to(cr, x, 60 + i * 60 + 18 * std::sin((x + i * 45) / 70.0));
          }
          White(cr, 0.07 + 0.015 * i);
          cairo_set_line_width(cr, 2 + i);
          cairo_stroke(cr);
        }
        break;
      case 3:  // a skyline at the bottom
        for (int i = 0; i < 16; ++i) {
          const double w = 28 + (i * 13) % 30;
          const double h = 90 + (i * 53) % 160;
          cairo_rectangle(cr, i * 42, 480 - h, w, h);
        }
        White(cr, 0.08);
        cairo_fill(cr);
        break;
      case 4:  // hexagons
        for (int row = 0; row < 10; ++row) {
          for (int col = 0; col < 14; ++col) {
            const double cx = col * 52 + (row % 2) * 26;
            const double cy = row * 45;
            for (int k = 0; k <= 6; ++k) {
              const double a = M_PI / 6 + k * M_PI / 3;
              const double px = cx + 24 * std::cos(a);
              const double py = cy + 24 * std::sin(a);
              if (k == 0) {
                cairo_move_to(cr, px, py);
              } else {
                cairo_line_to(cr, px, py);
              }
            }
          }
        }
        White(cr, 0.07);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
        break;
      case 5:  // rays from a corner
        for (int i = 0; i < 18; i += 2) {
          cairo_move_to(cr, 640, 0);
          cairo_arc(cr, 640, 0, 900, M_PI / 2 + i * (M_PI / 2) / 18,
                    M_PI / 2 + (i + 1) * (M_PI / 2) / 18);
          cairo_close_path(cr);
        }
        White(cr, 0.05);
        cairo_fill(cr);
        break;
      case 6:  // a grid of fine lines, as drawing paper
        for (int x = 0; x <= 640; x += 32) {
          cairo_move_to(cr, x + 0.5, 0);
          cairo_line_to(cr, x + 0.5, 480);
        }
        for (int y = 0; y <= 480; y += 32) {
          cairo_move_to(cr, 0, y + 0.5);
          cairo_line_to(cr, 640, y + 0.5);
        }
        White(cr, 0.08);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        break;
      default: {  // a glow in the upper left
        cairo_pattern_t* glow = cairo_pattern_create_radial(140, 60, 0, 140, 60, 520);
        cairo_pattern_add_color_stop_rgba(glow, 0, 1, 1, 1, 0.28);
        cairo_pattern_add_color_stop_rgba(glow, 1, 1, 1, 1, 0);
        cairo_set_source(cr, glow);
        cairo_paint(cr);
        cairo_pattern_destroy(glow);
        break;
      }
    }
  });
}

void Skins(const std::string& dir) {
  const struct {
    Hsv from, to;
  } looks[8] = {
      {{210, 0.78, 0.86}, {222, 0.85, 0.62}},  // ocean blue
      {{190, 0.8, 0.72}, {205, 0.9, 0.48}},    // deep teal
      {{265, 0.55, 0.72}, {240, 0.7, 0.45}},   // dusk violet
      {{160, 0.7, 0.6}, {190, 0.85, 0.42}},    // jade
      {{20, 0.72, 0.9}, {350, 0.7, 0.6}},      // sunset
      {{215, 0.35, 0.55}, {220, 0.45, 0.3}},   // slate
      {{200, 0.85, 0.55}, {215, 0.9, 0.32}},   // blueprint
      {{330, 0.5, 0.8}, {280, 0.55, 0.55}},    // rose
  };
  for (int i = 0; i < 8; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/skin/bg%02d.png", i + 1);
    Background(dir + name, looks[i].from, looks[i].to, i);
  }
  // The frame around a skin choice under the pointer, and when pressed (nine-slice).
  for (const bool pushed : {false, true}) {
    Write(dir + (pushed ? "/skin/choice_pushed.png" : "/skin/choice_hot.png"), 12, 12,
          [pushed](cairo_t* cr) {
            cairo_rectangle(cr, 1, 1, 10, 10);
            White(cr, 0.95);
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
            cairo_rectangle(cr, 0.5, 0.5, 11, 11);
            Rgb(cr, pushed ? kBlueDark : kBlue);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
          });
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <skin folder>\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  CaptionBar(dir);
  Toolbar(dir);
  Buttons(dir);
  Navigation(dir);
  ProgressBar(dir);
  Home(dir);
  CooperationMarks(dir);
  EmptyPictures(dir);
  Skins(dir);
  return g_failed ? 1 : 0;
}

// Sanitizer builds: fontconfig (through Pango) keeps its configuration and caches until the
// process ends, which the leak checker would report at the generator's exit; Pango matches fonts
// on a helper thread and hands them over through GLib primitives the thread checker cannot see.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
extern "C" const char* __tsan_default_suppressions() {
  return "race:libfontconfig.so\nrace:libglib-2.0.so\nrace:libcairo.so\nrace:libpango\n";
}
