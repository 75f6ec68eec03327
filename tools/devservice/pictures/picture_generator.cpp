// Draws the pictures of the development service's sample data: app icons, advertisement
// pictures and avatars, all from texts and colours in apps.json and ads.json (avatars from
// the table below). The output depends only on those files and the installed fonts, so the
// committed pictures can be drawn again at any time.
//   devservice_picture_generator <data folder>

#include <cairo.h>
#include <json/reader.h>
#include <pango/pangocairo.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

constexpr char kFont[] = "WenQuanYi Micro Hei, Noto Sans CJK SC, Sans";

struct Colour {
  double r = 0, g = 0, b = 0;
};

Colour ParseColour(const std::string& text) {
  unsigned value = 0;
  if (text.size() != 7 || text[0] != '#' || std::sscanf(text.c_str() + 1, "%6x", &value) != 1) {
    throw std::runtime_error("not a colour: " + text);
  }
  return {((value >> 16) & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0, (value & 0xFF) / 255.0};
}

Json::Value ReadJson(const std::string& path) {
  std::ifstream file(path);
  if (!file) throw std::runtime_error("cannot read " + path);
  Json::Value root;
  std::string errors;
  Json::CharReaderBuilder builder;
  if (!Json::parseFromStream(builder, file, &root, &errors)) {
    throw std::runtime_error(path + ": " + errors);
  }
  return root;
}

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

void RoundedRectangle(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

// Draws a text with its top-left corner at (x, y), or centred on x when centred is set.
void DrawText(cairo_t* cr, const std::string& text, double size, bool bold, double x, double y,
              bool centred) {
  std::unique_ptr<PangoLayout, decltype(&g_object_unref)> layout(pango_cairo_create_layout(cr),
                                                                 g_object_unref);
  const std::string font =
      std::string(kFont) + (bold ? " Bold " : " ") + std::to_string(size) + "px";
  std::unique_ptr<PangoFontDescription, decltype(&pango_font_description_free)> description(
      pango_font_description_from_string(font.c_str()), pango_font_description_free);
  pango_layout_set_font_description(layout.get(), description.get());
  pango_layout_set_text(layout.get(), text.c_str(), -1);
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout.get(), &width, &height);
  cairo_move_to(cr, centred ? x - width / 2.0 : x, centred ? y - height / 2.0 : y);
  pango_cairo_show_layout(cr, layout.get());
}

void WritePng(cairo_surface_t* surface, const std::string& path) {
  if (cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot write " + path);
  }
}

// A rounded square in the app's colour with one character, as app icons of the period look.
void DrawIcon(const std::string& text, const Colour& colour, const std::string& path) {
  constexpr int kSize = 64;
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSize, kSize),
                  cairo_surface_destroy);
  Context cr(cairo_create(surface.get()), cairo_destroy);
  std::unique_ptr<cairo_pattern_t, decltype(&cairo_pattern_destroy)> gradient(
      cairo_pattern_create_linear(0, 0, 0, kSize), cairo_pattern_destroy);
  cairo_pattern_add_color_stop_rgb(gradient.get(), 0, std::min(1.0, colour.r + 0.18),
                                   std::min(1.0, colour.g + 0.18), std::min(1.0, colour.b + 0.18));
  cairo_pattern_add_color_stop_rgb(gradient.get(), 1, colour.r, colour.g, colour.b);
  RoundedRectangle(cr.get(), 2, 2, kSize - 4, kSize - 4, 12);
  cairo_set_source(cr.get(), gradient.get());
  cairo_fill(cr.get());
  cairo_set_source_rgba(cr.get(), 1, 1, 1, 0.18);
  RoundedRectangle(cr.get(), 6, 6, kSize - 12, (kSize - 12) / 2.0, 9);
  cairo_fill(cr.get());
  cairo_set_source_rgb(cr.get(), 1, 1, 1);
  DrawText(cr.get(), text, 30, true, kSize / 2.0, kSize / 2.0, true);
  WritePng(surface.get(), path);
}

// A banner with a gradient, a skyline of buildings and a crane, a title and a subtitle.
void DrawAdvertisement(const Json::Value& ad, const std::string& path) {
  constexpr int kWidth = 560, kHeight = 200;
  const Colour from = ParseColour(ad["colors"][0].asString());
  const Colour to = ParseColour(ad["colors"][1].asString());
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight),
                  cairo_surface_destroy);
  Context cr(cairo_create(surface.get()), cairo_destroy);
  std::unique_ptr<cairo_pattern_t, decltype(&cairo_pattern_destroy)> gradient(
      cairo_pattern_create_linear(0, 0, kWidth, kHeight), cairo_pattern_destroy);
  cairo_pattern_add_color_stop_rgb(gradient.get(), 0, from.r, from.g, from.b);
  cairo_pattern_add_color_stop_rgb(gradient.get(), 1, to.r, to.g, to.b);
  cairo_set_source(cr.get(), gradient.get());
  cairo_paint(cr.get());

  // Skyline: fixed heights so the picture is the same on every run.
  constexpr int kHeights[] = {70, 110, 90, 140, 100, 125, 80, 60};
  cairo_set_source_rgba(cr.get(), 1, 1, 1, 0.16);
  double x = 330;
  for (const int h : kHeights) {
    cairo_rectangle(cr.get(), x, kHeight - h, 24, h);
    x += 28;
  }
  cairo_fill(cr.get());
  cairo_set_source_rgba(cr.get(), 1, 1, 1, 0.10);
  for (double wx = 334; wx < 550; wx += 28) {
    for (double wy = kHeight - 50; wy < kHeight - 8; wy += 14)
      cairo_rectangle(cr.get(), wx, wy, 6, 6);
  }
  cairo_fill(cr.get());
  // Tower crane.
  cairo_set_source_rgba(cr.get(), 1, 1, 1, 0.35);
  cairo_set_line_width(cr.get(), 3);
  cairo_move_to(cr.get(), 470, kHeight);
  cairo_line_to(cr.get(), 470, 30);
  cairo_move_to(cr.get(), 400, 38);
  cairo_line_to(cr.get(), 545, 38);
  cairo_move_to(cr.get(), 470, 22);
  cairo_line_to(cr.get(), 410, 38);
  cairo_move_to(cr.get(), 470, 22);
  cairo_line_to(cr.get(), 540, 38);
  cairo_move_to(cr.get(), 520, 38);
  cairo_line_to(cr.get(), 520, 80);
  cairo_stroke(cr.get());
  cairo_rectangle(cr.get(), 512, 80, 16, 10);
  cairo_fill(cr.get());

  cairo_set_source_rgb(cr.get(), 1, 1, 1);
  DrawText(cr.get(), ad["title"].asString(), 34, true, 32, 52, false);
  cairo_set_source_rgba(cr.get(), 1, 1, 1, 0.85);
  DrawText(cr.get(), ad["subtitle"].asString(), 18, false, 34, 106, false);
  RoundedRectangle(cr.get(), 34, 142, 112, 32, 16);
  cairo_set_source_rgba(cr.get(), 1, 1, 1, 0.22);
  cairo_fill(cr.get());
  cairo_set_source_rgb(cr.get(), 1, 1, 1);
  DrawText(cr.get(), "立即查看", 16, true, 90, 158, true);
  WritePng(surface.get(), path);
}

// A round avatar: a safety helmet in the user's colour over a face-coloured circle.
void DrawAvatar(const Colour& background, const Colour& helmet, const std::string& path) {
  constexpr int kSize = 100;
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSize, kSize),
                  cairo_surface_destroy);
  Context cr(cairo_create(surface.get()), cairo_destroy);
  cairo_arc(cr.get(), 50, 50, 48, 0, 2 * M_PI);
  cairo_set_source_rgb(cr.get(), background.r, background.g, background.b);
  cairo_fill_preserve(cr.get());
  cairo_clip(cr.get());
  cairo_set_source_rgb(cr.get(), 0.98, 0.86, 0.72);  // face
  cairo_arc(cr.get(), 50, 56, 22, 0, 2 * M_PI);
  cairo_fill(cr.get());
  cairo_set_source_rgb(cr.get(), 0.25, 0.25, 0.3);  // shoulders
  cairo_arc(cr.get(), 50, 112, 36, M_PI, 2 * M_PI);
  cairo_fill(cr.get());
  cairo_set_source_rgb(cr.get(), helmet.r, helmet.g, helmet.b);  // helmet
  cairo_arc(cr.get(), 50, 48, 25, M_PI, 2 * M_PI);
  cairo_fill(cr.get());
  cairo_rectangle(cr.get(), 20, 46, 60, 6);
  cairo_fill(cr.get());
  cairo_set_source_rgba(cr.get(), 1, 1, 1, 0.5);
  cairo_rectangle(cr.get(), 47, 24, 6, 22);
  cairo_fill(cr.get());
  cairo_set_source_rgb(cr.get(), 0.2, 0.2, 0.2);  // eyes and smile
  cairo_arc(cr.get(), 42, 60, 2.5, 0, 2 * M_PI);
  cairo_arc(cr.get(), 58, 60, 2.5, 0, 2 * M_PI);
  cairo_fill(cr.get());
  cairo_set_line_width(cr.get(), 2);
  cairo_arc(cr.get(), 50, 66, 7, 0.2 * M_PI, 0.8 * M_PI);
  cairo_stroke(cr.get());
  WritePng(surface.get(), path);
}

void MakeFolder(const std::string& path) {
  mkdir(path.c_str(), 0755);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <data folder>\n", argv[0]);
    return 2;
  }
  try {
    const std::string data = argv[1];
    MakeFolder(data + "/pictures");
    MakeFolder(data + "/pictures/icons");
    MakeFolder(data + "/pictures/ads");
    MakeFolder(data + "/pictures/avatars");
    int count = 0;
    const Json::Value apps = ReadJson(data + "/apps.json");
    for (const Json::Value& app : apps["apps"]) {
      DrawIcon(app["iconText"].asString(), ParseColour(app["iconColor"].asString()),
               data + "/" + app["iconPicture"].asString());
      ++count;
    }
    const Json::Value ads = ReadJson(data + "/ads.json");
    for (const Json::Value& ad : ads["ads"]) {
      DrawAdvertisement(ad, data + "/pictures/ads/" + ad["picture"].asString());
      ++count;
    }
    const char* avatarColours[][2] = {{"#D6EAF8", "#F1C40F"}, {"#D5F5E3", "#E74C3C"},
                                      {"#FDEBD0", "#2E86C1"}, {"#E8DAEF", "#F5F5F5"},
                                      {"#FADBD8", "#F39C12"}, {"#D1F2EB", "#1E8449"}};
    for (int i = 0; i < 6; ++i) {
      DrawAvatar(ParseColour(avatarColours[i][0]), ParseColour(avatarColours[i][1]),
                 data + "/pictures/avatars/avatar_0" + std::to_string(i + 1) + ".png");
      ++count;
    }
    std::printf("%d pictures drawn into %s/pictures\n", count, data.c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
