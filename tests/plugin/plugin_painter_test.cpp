#include "plugin_painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

struct InkBox {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
};

// Dark pixels strictly inside the frame of a white image.
InkBox InkInside(cairo_surface_t* image, int width, int height) {
  InkBox box;
  const unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int y = 1; y < height - 1; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
    for (int x = 1; x < width - 1; ++x) {
      if ((row[x] & 0xFF) < 0x80) {
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y);
      }
    }
  }
  return box;
}

InkBox PaintWhiteArea(int width, int height, const char* text) {
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(image);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  plugin::PaintPluginArea(cr, width, height, text);
  cairo_destroy(cr);
  cairo_surface_flush(image);
  const InkBox box = InkInside(image, width, height);
  cairo_surface_destroy(image);
  return box;
}

// Without an object the instance says so, centred like the user agent.
TEST(PluginPainter, ErrorTextWithoutAnObjectIsCentredAsAnyText) {
  const InkBox error = PaintWhiteArea(200, 41, nullptr);
  const InkBox sameError = PaintWhiteArea(200, 41, plugin::kErrorText);
  ASSERT_GE(error.right, 0);
  EXPECT_EQ(error.left, sameError.left);
  EXPECT_EQ(error.right, sameError.right);
  EXPECT_LE(std::abs(error.left + error.right - 199), 3);
  EXPECT_LE(std::abs(error.top + error.bottom - 40), 3);
  EXPECT_TRUE(PaintWhiteArea(0, 0, nullptr).right < 0) << "an empty rectangle paints nothing";
}

}  // namespace
