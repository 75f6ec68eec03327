#include "skinui/painter.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <memory>

#include "skinui/color_markup.h"
#include "skinui/image_cache.h"
#include "skinui/text_utf.h"

namespace skinui {

namespace {

void SetColor(cairo_t* cr, std::uint32_t argb) {
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                        (argb & 0xFF) / 255.0, ((argb >> 24) & 0xFF) / 255.0);
}

// Draws the part `src` of the image into `dst`, scaled. A scaled part of the image is cut out
// as a surface of its own so that filtering never blends in pixels from outside it; cairo copies
// such a part on every paint, so a part drawn pixel for pixel, or the whole image, is drawn
// straight from the image (the clip alone keeps the rest out).
void Blit(cairo_t* cr, cairo_surface_t* image, double sx, double sy, double sw, double sh,
          double dx, double dy, double dw, double dh) {
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  const bool unscaled = dw == sw && dh == sh;
  const bool whole = sx == 0 && sy == 0 && sw == cairo_image_surface_get_width(image) &&
                     sh == cairo_image_surface_get_height(image);
  cairo_save(cr);
  cairo_rectangle(cr, dx, dy, dw, dh);
  cairo_clip(cr);
  if (unscaled) {
    cairo_set_source_surface(cr, image, dx - sx, dy - sy);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  } else {
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> part(
        whole ? cairo_surface_reference(image)
              : cairo_surface_create_for_rectangle(image, sx, sy, sw, sh),
        &cairo_surface_destroy);
    cairo_translate(cr, dx, dy);
    cairo_scale(cr, dw / sw, dh / sh);
    cairo_set_source_surface(cr, part.get(), 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  }
  cairo_paint(cr);
  cairo_restore(cr);
}

}  // namespace

unsigned ParseAlign(std::string_view text, unsigned defaults) {
  using namespace text_flags;
  unsigned horizontal = defaults & (kLeft | kCenter | kRight);
  unsigned vertical = defaults & (kTop | kVCenter | kBottom);
  std::string rest(text);
  // "vcenter" first, so that its "center" is not read as horizontal centring.
  if (const auto p = rest.find("vcenter"); p != std::string::npos) {
    vertical = kVCenter;
    rest.erase(p, 7);
  }
  if (rest.find("left") != std::string::npos) horizontal = kLeft;
  if (rest.find("right") != std::string::npos) horizontal = kRight;
  if (rest.find("center") != std::string::npos) horizontal = kCenter;
  if (rest.find("top") != std::string::npos) vertical = kTop;
  if (rest.find("bottom") != std::string::npos) vertical = kBottom;
  return (defaults & ~(kLeft | kCenter | kRight | kTop | kVCenter | kBottom)) | horizontal |
         vertical;
}

void Painter::FillRect(const Rect& rect, std::uint32_t argb) {
  if (rect.IsEmpty() || (argb >> 24) == 0) return;
  SetColor(cr_, argb);
  cairo_rectangle(cr_, rect.left, rect.top, rect.Width(), rect.Height());
  cairo_fill(cr_);
}

void Painter::FillRoundRect(const Rect& rect, int radius, std::uint32_t argb) {
  if (rect.IsEmpty()) return;
  const double r = std::min({static_cast<double>(radius), rect.Width() / 2.0, rect.Height() / 2.0});
  SetColor(cr_, argb);
  cairo_new_sub_path(cr_);
  cairo_arc(cr_, rect.right - r, rect.top + r, r, -G_PI / 2, 0);
  cairo_arc(cr_, rect.right - r, rect.bottom - r, r, 0, G_PI / 2);
  cairo_arc(cr_, rect.left + r, rect.bottom - r, r, G_PI / 2, G_PI);
  cairo_arc(cr_, rect.left + r, rect.top + r, r, G_PI, 3 * G_PI / 2);
  cairo_close_path(cr_);
  cairo_fill(cr_);
}

void Painter::StrokeRect(const Rect& rect, std::uint32_t argb, int width) {
  if (rect.IsEmpty() || width <= 0 || (argb >> 24) == 0) return;
  SetColor(cr_, argb);
  cairo_set_line_width(cr_, width);
  const double half = width / 2.0;
  cairo_rectangle(cr_, rect.left + half, rect.top + half, rect.Width() - width,
                  rect.Height() - width);
  cairo_stroke(cr_);
}

bool Painter::DrawImage(const Rect& dest, const ImageSpec& image) {
  if (image.empty() || dest.IsEmpty()) return !image.empty();
  cairo_surface_t* surface = images_.Get(image.file);
  if (surface == nullptr) return false;
  const Rect whole{0, 0, cairo_image_surface_get_width(surface),
                   cairo_image_surface_get_height(surface)};
  const Rect src = image.source ? image.source->Intersect(whole) : whole;
  if (src.IsEmpty()) return true;
  // Corner widths may not exceed half the source or half the destination.
  const int cl = std::clamp(image.corner.left, 0, std::min(src.Width(), dest.Width()) / 2);
  const int cr = std::clamp(image.corner.right, 0, std::min(src.Width(), dest.Width()) / 2);
  const int ct = std::clamp(image.corner.top, 0, std::min(src.Height(), dest.Height()) / 2);
  const int cb = std::clamp(image.corner.bottom, 0, std::min(src.Height(), dest.Height()) / 2);
  const int sx[4] = {src.left, src.left + cl, src.right - cr, src.right};
  const int sy[4] = {src.top, src.top + ct, src.bottom - cb, src.bottom};
  const int dx[4] = {dest.left, dest.left + cl, dest.right - cr, dest.right};
  const int dy[4] = {dest.top, dest.top + ct, dest.bottom - cb, dest.bottom};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      Blit(cr_, surface, sx[col], sy[row], sx[col + 1] - sx[col], sy[row + 1] - sy[row], dx[col],
           dy[row], dx[col + 1] - dx[col], dy[row + 1] - dy[row]);
    }
  }
  return true;
}

void Painter::DrawText(const Rect& rect, std::u16string_view text, const TextStyle& style) {
  using namespace text_flags;
  if (text.empty() || rect.IsEmpty()) return;
  std::unique_ptr<PangoLayout, decltype(&g_object_unref)> layout(pango_cairo_create_layout(cr_),
                                                                 &g_object_unref);
  std::unique_ptr<PangoFontDescription, decltype(&pango_font_description_free)> font(
      pango_font_description_new(), &pango_font_description_free);
  pango_font_description_set_family(font.get(), style.font.name.c_str());
  pango_font_description_set_absolute_size(font.get(), std::max(style.font.size, 1) * PANGO_SCALE);
  pango_font_description_set_weight(font.get(),
                                    style.font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(font.get(),
                                   style.font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_layout_set_font_description(layout.get(), font.get());
  if (style.markup) {
    const std::string markup = ToPangoMarkup(ParseColorMarkup(text));
    pango_layout_set_markup(layout.get(), markup.c_str(), static_cast<int>(markup.size()));
  } else {
    const std::string utf8 = Utf16ToUtf8(text);
    pango_layout_set_text(layout.get(), utf8.c_str(), static_cast<int>(utf8.size()));
  }
  if (style.font.underline) {
    std::unique_ptr<PangoAttrList, decltype(&pango_attr_list_unref)> attrs(pango_attr_list_new(),
                                                                           &pango_attr_list_unref);
    pango_attr_list_insert(attrs.get(), pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    pango_layout_set_attributes(layout.get(), attrs.get());
  }
  pango_layout_set_width(layout.get(), rect.Width() * PANGO_SCALE);
  if (style.flags & kSingleLine) {
    pango_layout_set_height(layout.get(), 0);  // one line
    pango_layout_set_ellipsize(
        layout.get(), (style.flags & kEndEllipsis) ? PANGO_ELLIPSIZE_END : PANGO_ELLIPSIZE_NONE);
  } else {
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    pango_layout_set_height(layout.get(), rect.Height() * PANGO_SCALE);
    pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
  }
  pango_layout_set_alignment(layout.get(), (style.flags & kCenter)  ? PANGO_ALIGN_CENTER
                                           : (style.flags & kRight) ? PANGO_ALIGN_RIGHT
                                                                    : PANGO_ALIGN_LEFT);
  int width = 0;
  int height = 0;
  pango_layout_get_pixel_size(layout.get(), &width, &height);
  double y = rect.top;
  if (style.flags & kVCenter) y = rect.top + (rect.Height() - height) / 2.0;
  if (style.flags & kBottom) y = rect.bottom - height;
  cairo_save(cr_);
  cairo_rectangle(cr_, rect.left, rect.top, rect.Width(), rect.Height());
  cairo_clip(cr_);
  SetColor(cr_, style.color);
  cairo_move_to(cr_, rect.left, y);
  pango_cairo_show_layout(cr_, layout.get());
  cairo_restore(cr_);
}

void Painter::PushClip(const Rect& rect) {
  cairo_save(cr_);
  cairo_rectangle(cr_, rect.left, rect.top, rect.Width(), rect.Height());
  cairo_clip(cr_);
}

void Painter::PopClip() {
  cairo_restore(cr_);
}

}  // namespace skinui
