#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "skinui/geometry.h"
#include "skinui/image_spec.h"

namespace skinui {

class ImageCache;

// A font of a layout: the face name (fontconfig resolves it, falling back per glyph to an
// installed Chinese face), the pixel size and the style.
struct FontSpec {
  std::string name = "微软雅黑";
  int size = 12;
  bool bold = false;
  bool underline = false;
  bool italic = false;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// Text placement flags (the "align" attribute and the control kind decide them).
namespace text_flags {
inline constexpr unsigned kLeft = 0x1;
inline constexpr unsigned kCenter = 0x2;
inline constexpr unsigned kRight = 0x4;
inline constexpr unsigned kTop = 0x8;
inline constexpr unsigned kVCenter = 0x10;
inline constexpr unsigned kBottom = 0x20;
inline constexpr unsigned kSingleLine = 0x40;
inline constexpr unsigned kEndEllipsis = 0x80;
inline constexpr unsigned kWordBreak = 0x100;
}  // namespace text_flags

// Reads an "align" value the way layouts write it: any of left, center, right, top, vcenter,
// bottom, also run together ("centerbottom").
unsigned ParseAlign(std::string_view text, unsigned defaults);

struct TextStyle {
  FontSpec font;
  std::uint32_t color = 0xFF000000;  // 0xAARRGGBB
  unsigned flags = text_flags::kLeft | text_flags::kVCenter | text_flags::kSingleLine;
  bool markup = false;  // the text holds "<c #RRGGBB>" colour tags
};

// Draws on any Cairo context: the headless backend's image surfaces and the screen alike.
class Painter {
 public:
  Painter(cairo_t* cr, ImageCache& images) : cr_(cr), images_(images) {}

  cairo_t* cairo() const { return cr_; }
  void FillRect(const Rect& rect, std::uint32_t argb);
  void FillRoundRect(const Rect& rect, int radius, std::uint32_t argb);
  void StrokeRect(const Rect& rect, std::uint32_t argb, int width);
  // Draws the source part of the image stretched into `dest`, keeping the corner borders at
  // their size (nine-slice). A source reaching outside the file is cut to the file. False
  // when the file cannot be loaded.
  bool DrawImage(const Rect& dest, const ImageSpec& image);
  void DrawText(const Rect& rect, std::u16string_view text, const TextStyle& style);
  void PushClip(const Rect& rect);
  void PopClip();

 private:
  cairo_t* cr_;
  ImageCache& images_;
};

}  // namespace skinui
