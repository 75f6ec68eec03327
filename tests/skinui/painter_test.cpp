#include "skinui/painter.h"

#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <memory>

#include "skinui/font_setup.h"
#include "skinui/image_cache.h"
#include "skinui/image_prefetch.h"
#include "support/temp_dir.h"
#include "ui_test_support.h"

namespace skinui {
namespace {

using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using CairoPtr = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

SurfacePtr NewSurface(int w, int h) {
  return SurfacePtr(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h), &cairo_surface_destroy);
}

std::uint32_t Pixel(cairo_surface_t* s, int x, int y) {
  cairo_surface_flush(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  return *reinterpret_cast<const std::uint32_t*>(data + y * cairo_image_surface_get_stride(s) +
                                                 x * 4);
}

bool IsRed(std::uint32_t p) {
  return ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) < 60 && (p & 0xFF) < 60;
}

// Writes a PNG of `w` × `h` whose pixels come from `color(x, y)`.
void WritePng(const std::string& path, int w, int h, std::uint32_t (*color)(int, int)) {
  SurfacePtr s = NewSurface(w, h);
  cairo_surface_flush(s.get());
  unsigned char* data = cairo_image_surface_get_data(s.get());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      *reinterpret_cast<std::uint32_t*>(data + y * cairo_image_surface_get_stride(s.get()) +
                                        x * 4) = color(x, y);
    }
  }
  cairo_surface_mark_dirty(s.get());
  ASSERT_EQ(cairo_surface_write_to_png(s.get(), path.c_str()), CAIRO_STATUS_SUCCESS);
}

class PainterTest : public ::testing::Test {
 protected:
  PainterTest()
      : images(dir.path(), [this](const std::string& line) { logs.push_back(line); }),
        surface(NewSurface(200, 100)),
        cr(cairo_create(surface.get()), &cairo_destroy),
        painter(cr.get(), images) {
    // Three vertical bands: red, green, blue, each 10 pixels wide.
    WritePng(dir.file("bands.png"), 30, 10, [](int x, int) -> std::uint32_t {
      return x < 10 ? 0xFFFF0000 : x < 20 ? 0xFF00FF00 : 0xFF0000FF;
    });
    // A 30 × 30 frame: a red border of 10 pixels around a blue centre.
    WritePng(dir.file("frame.png"), 30, 30, [](int x, int y) -> std::uint32_t {
      return (x >= 10 && x < 20 && y >= 10 && y < 20) ? 0xFF0000FF : 0xFFFF0000;
    });
    painter.FillRect({0, 0, 200, 100}, 0xFFFFFFFF);
  }

  testing_support::TempDir dir;
  std::vector<std::string> logs;
  ImageCache images;
  SurfacePtr surface;
  CairoPtr cr;
  Painter painter;
};

TEST_F(PainterTest, SourceRectanglePicksPartOfTheFile) {
  ASSERT_TRUE(
      painter.DrawImage({0, 0, 40, 40}, ParseImageSpec("file='bands.png' source='10,0,20,10'")));
  EXPECT_EQ(Pixel(surface.get(), 1, 1), 0xFF00FF00u);
  EXPECT_EQ(Pixel(surface.get(), 38, 38), 0xFF00FF00u);
  EXPECT_EQ(Pixel(surface.get(), 45, 5), 0xFFFFFFFFu);  // nothing outside the destination
}

TEST_F(PainterTest, CornersKeepTheirSizeWhenStretched) {
  ASSERT_TRUE(
      painter.DrawImage({0, 0, 120, 60}, ParseImageSpec("file='frame.png' corner='10,10,10,10'")));
  EXPECT_EQ(Pixel(surface.get(), 5, 5), 0xFFFF0000u);
  EXPECT_EQ(Pixel(surface.get(), 60, 5), 0xFFFF0000u);
  EXPECT_EQ(Pixel(surface.get(), 5, 30), 0xFFFF0000u);
  EXPECT_EQ(Pixel(surface.get(), 114, 55), 0xFFFF0000u);
  EXPECT_EQ(Pixel(surface.get(), 60, 30), 0xFF0000FFu);
  EXPECT_EQ(Pixel(surface.get(), 12, 12), 0xFF0000FFu);  // the border stays 10 pixels wide
}

TEST_F(PainterTest, SourceBeyondTheFileIsCutToTheFile) {
  ASSERT_TRUE(
      painter.DrawImage({0, 0, 20, 24}, ParseImageSpec("file='bands.png' source='0,0,10,244'")));
  EXPECT_EQ(Pixel(surface.get(), 10, 20), 0xFFFF0000u);
}

TEST_F(PainterTest, MissingImageIsReportedOnceAndDrawsNothing) {
  EXPECT_FALSE(painter.DrawImage({0, 0, 20, 20}, ParseImageSpec("absent.png")));
  EXPECT_FALSE(painter.DrawImage({0, 0, 20, 20}, ParseImageSpec("absent.png")));
  ASSERT_EQ(logs.size(), 1u);
  EXPECT_NE(logs[0].find("absent.png"), std::string::npos);
  EXPECT_EQ(Pixel(surface.get(), 10, 10), 0xFFFFFFFFu);
}

// Pictures a layout names, decoded ahead: each handed over once, taken over by the cache, and
// a picture the cache forgets comes from its file again, not from the earlier decoding.
TEST_F(PainterTest, PicturesDecodedAheadServeTheCacheUntilForgotten) {
  dir.write("layout.xml",
            "<Window bkimage=\"bands.png\"><HorizontalLayout><Button hotimage=\"absent.png\" "
            "normalimage=\"file='frame.png' corner='10,10,10,10'\" text=\"x\"/>"
            "</HorizontalLayout></Window>");
  WritePng(dir.file("other.png"), 4, 4, [](int, int) -> std::uint32_t { return 0xFF00FF00; });
  auto prefetch =
      std::make_unique<ImagePrefetch>(dir.path(), std::vector<std::string>{"layout.xml"});
  prefetch->WaitUntilDone();
  const PictureSurface frame = prefetch->Take("frame.png");
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(frame.get()), 30);
  EXPECT_EQ(prefetch->Take("frame.png"), nullptr) << "handed over once";
  EXPECT_EQ(prefetch->Take("absent.png"), nullptr);
  EXPECT_EQ(prefetch->Take("other.png"), nullptr) << "no layout names it";

  // Both files change after they were decoded: the cache paints what was decoded ahead until it
  // forgets a picture.
  WritePng(dir.file("bands.png"), 30, 10, [](int, int) -> std::uint32_t { return 0xFF0000FF; });
  images.Adopt(std::move(prefetch));
  ASSERT_TRUE(painter.DrawImage({0, 0, 30, 10}, ParseImageSpec("bands.png")));
  EXPECT_EQ(Pixel(surface.get(), 5, 5), 0xFFFF0000u);
  images.Forget("bands.png");
  ASSERT_TRUE(painter.DrawImage({0, 0, 30, 10}, ParseImageSpec("bands.png")));
  EXPECT_EQ(Pixel(surface.get(), 5, 5), 0xFF0000FFu);
}

TEST_F(PainterTest, ColourMarkupPaintsItsRunsInTheirColour) {
  TextStyle style;
  style.font.size = 20;
  style.markup = true;
  painter.DrawText({0, 0, 200, 50}, u"<c #FF0000>■■■■</c>", style);
  painter.DrawText({0, 50, 200, 100}, u"■■■■", TextStyle{});
  int red = 0;
  int redBelow = 0;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (IsRed(Pixel(surface.get(), x, y))) ++(y < 50 ? red : redBelow);
    }
  }
  EXPECT_GT(red, 20);
  EXPECT_EQ(redBelow, 0);
}

TEST_F(PainterTest, AlignmentPlacesTheTextInsideItsRectangle) {
  TextStyle style;
  style.font.size = 16;
  style.flags = text_flags::kRight | text_flags::kVCenter | text_flags::kSingleLine;
  painter.DrawText({0, 0, 200, 100}, u"WW", style);
  int leftmost = 200;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 200; ++x) {
      if ((Pixel(surface.get(), x, y) & 0xFF) < 128) leftmost = std::min(leftmost, x);
    }
  }
  EXPECT_GT(leftmost, 150);
  EXPECT_LT(leftmost, 200);
}

TEST(FontFallbackTest, SkinFaceNamesResolveToAChineseFace) {
  ASSERT_TRUE(LoadFontAliases(std::string(SKINUI_SOURCE_SKIN) + "/fonts.conf"));
  const std::string family = MatchFontFamily("微软雅黑");
  EXPECT_TRUE(family.find("CJK SC") != std::string::npos ||
              family.find("WenQuanYi") != std::string::npos ||
              family.find("Han Sans SC") != std::string::npos)
      << family;
  // Every glyph of a Chinese text is found (none drawn as an unknown box).
  SurfacePtr s = NewSurface(10, 10);
  CairoPtr c(cairo_create(s.get()), &cairo_destroy);
  std::unique_ptr<PangoLayout, decltype(&g_object_unref)> layout(pango_cairo_create_layout(c.get()),
                                                                 &g_object_unref);
  std::unique_ptr<PangoFontDescription, decltype(&pango_font_description_free)> font(
      pango_font_description_from_string("微软雅黑 12px"), &pango_font_description_free);
  pango_layout_set_font_description(layout.get(), font.get());
  pango_layout_set_text(layout.get(), "确定要关闭Tamsel？", -1);
  EXPECT_EQ(pango_layout_get_unknown_glyphs_count(layout.get()), 0);
}

class WindowPaintTest : public skinui_test::UiTest {};

TEST_F(WindowPaintTest, ScreenshotPaintsTheTreeIntoAPngOfTheClientSize) {
  testing_support::TempDir out;
  auto window = Open(R"(<VerticalLayout bkcolor="#FF204080">
      <Control height="20" bkcolor="#FFFF0000"/>
      <Progress name="pg" height="20" forecolor="#FF00FF00" value="50"/>
      <List name="list" vscrollbar="true" bkcolor="#FFFFFFFF">
        <ListContainerElement height="200"/></List></VerticalLayout>)",
                     100, 100);
  const std::string path = out.file("shot.png");
  ASSERT_TRUE(window->Screenshot(path));
  SurfacePtr png(cairo_image_surface_create_from_png(path.c_str()), &cairo_surface_destroy);
  ASSERT_EQ(cairo_surface_status(png.get()), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(png.get()), 100);
  EXPECT_EQ(cairo_image_surface_get_height(png.get()), 100);
  EXPECT_EQ(Pixel(png.get(), 50, 10), 0xFFFF0000u);
  EXPECT_EQ(Pixel(png.get(), 20, 30), 0xFF00FF00u);  // filled half of the progress bar
  EXPECT_EQ(Pixel(png.get(), 80, 30), 0xFF204080u);  // the rest shows the background
  EXPECT_NE(Pixel(png.get(), 96, 60), 0xFFFFFFFFu);  // the list's scroll bar
  EXPECT_EQ(Pixel(png.get(), 40, 60), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace skinui
