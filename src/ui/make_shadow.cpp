#include "ui/make_shadow.h"

#include <algorithm>
#include <cmath>

namespace ui {
namespace {

std::uint32_t Premultiplied(std::uint32_t colour, int alpha) {
  const auto channel = [&](int shift) {
    return ((colour >> shift) & 0xFFu) * static_cast<std::uint32_t>(alpha) / 255u;
  };
  return static_cast<std::uint32_t>(alpha) << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
}

// The spans of the shape in a list that covers the window's rows and, when the shadow reaches
// beyond the window, `size` empty rows above and below: row `i` of the list is window row
// `i - margin`. Empty rows keep left = width and right = 0, so that erosion keeps them empty.
struct SpanList {
  int margin = 0;
  std::vector<ShadowSpan> rows;
  ShadowSpan Row(int windowRow, int emptyLeft) const {
    const int i = windowRow + margin;
    if (i < 0 || i >= static_cast<int>(rows.size())) return {emptyLeft, 0};
    return rows[static_cast<std::size_t>(i)];
  }
};

SpanList Extended(const std::vector<ShadowSpan>& parentRows, int width, int size) {
  SpanList list;
  list.margin = std::max(size, 0);
  list.rows.assign(parentRows.size() + 2 * static_cast<std::size_t>(list.margin), {width, 0});
  for (std::size_t i = 0; i < parentRows.size(); ++i) {
    const ShadowSpan row = parentRows[i];
    list.rows[i + static_cast<std::size_t>(list.margin)] = row.Empty() ? ShadowSpan{width, 0} : row;
  }
  return list;
}

// One pass moves each end inwards past the innermost end among the row and its two neighbours.
void Erode(SpanList& list, int width, int passes) {
  const int n = static_cast<int>(list.rows.size());
  std::vector<ShadowSpan> next(list.rows.size());
  for (int pass = 0; pass < passes; ++pass) {
    for (int i = 0; i < n; ++i) {
      int left = list.rows[static_cast<std::size_t>(i)].left;
      int right = list.rows[static_cast<std::size_t>(i)].right;
      for (int j : {i - 1, i + 1}) {
        const ShadowSpan neighbour =
            j < 0 || j >= n ? ShadowSpan{width, 0} : list.rows[static_cast<std::size_t>(j)];
        left = std::max(left, neighbour.left);
        right = std::min(right, neighbour.right);
      }
      next[static_cast<std::size_t>(i)] = {left + 1, right - 1};
    }
    list.rows.swap(next);
  }
}

struct Kernel {
  int radius = 0;
  std::vector<std::uint32_t> pixels;  // (2 radius + 1)²
};

Kernel MakeKernel(const ShadowLook& look) {
  Kernel kernel;
  kernel.radius = std::max(look.sharpness, look.size);
  const int centre = look.size > look.sharpness ? look.size - look.sharpness : 0;
  const int side = 2 * kernel.radius + 1;
  kernel.pixels.resize(static_cast<std::size_t>(side) * static_cast<std::size_t>(side));
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const double dx = x - kernel.radius;
      const double dy = y - kernel.radius;
      const double d = std::sqrt(dx * dx + dy * dy);
      int alpha = 0;
      if (d < centre) {
        alpha = look.darkness;
      } else if (d <= kernel.radius) {
        alpha = static_cast<int>((1.0 - (d - centre) / (look.sharpness + 1)) * look.darkness);
        alpha = std::clamp(alpha, 0, 255);
      }
      kernel.pixels[static_cast<std::size_t>(y * side + x)] =
          alpha == 0 ? 0 : Premultiplied(look.colour, alpha);
    }
  }
  return kernel;
}

void Stamp(ShadowImage& image, const Kernel& kernel, int cx, int cy) {
  const int side = 2 * kernel.radius + 1;
  for (int ky = 0; ky < side; ++ky) {
    const int y = cy - kernel.radius + ky;
    if (y < 0 || y >= image.height) continue;
    for (int kx = 0; kx < side; ++kx) {
      const int x = cx - kernel.radius + kx;
      if (x < 0 || x >= image.width) continue;
      std::uint32_t& pixel =
          image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                       static_cast<std::size_t>(x)];
      pixel = std::max(pixel, kernel.pixels[static_cast<std::size_t>(ky * side + kx)]);
    }
  }
}

void FillRow(ShadowImage& image, int y, int from, int to, std::uint32_t value) {
  from = std::max(from, 0);
  to = std::min(to, image.width);
  for (int x = from; x < to; ++x) {
    image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                 static_cast<std::size_t>(x)] = value;
  }
}

}  // namespace

std::vector<ShadowSpan> ShapeRows(skinui::Size size, const std::function<bool(int, int)>& inside) {
  std::vector<ShadowSpan> rows(static_cast<std::size_t>(std::max(size.cy, 0)));
  for (int y = 0; y < size.cy; ++y) {
    int left = 0;
    while (left < size.cx && !inside(left, y)) ++left;
    if (left == size.cx) continue;
    int right = size.cx;
    while (right > left && !inside(right - 1, y)) --right;
    rows[static_cast<std::size_t>(y)] = {left, right};
  }
  return rows;
}

bool InsideRoundedWindow(skinui::Size size, skinui::Size corner, int x, int y) {
  if (x < 0 || y < 0 || x >= size.cx || y >= size.cy) return false;
  if (corner.cx <= 0 || corner.cy <= 0) return true;
  // The rounded rectangle is one pixel wider and higher than the window.
  const double rx = corner.cx / 2.0;
  const double ry = corner.cy / 2.0;
  const double w = size.cx + 1;
  const double h = size.cy + 1;
  const double px = x + 0.5;
  const double py = y + 0.5;
  const double cx = px < rx ? rx : (px > w - rx ? w - rx : px);
  const double cy = py < ry ? ry : (py > h - ry ? h - ry : py);
  const double ex = (px - cx) / rx;
  const double ey = (py - cy) / ry;
  return ex * ex + ey * ey <= 1.0;
}

ShadowImage MakeShadow(const std::vector<ShadowSpan>& parentRows, int parentWidth,
                       const ShadowLook& look) {
  ShadowImage image;
  const int parentHeight = static_cast<int>(parentRows.size());
  image.width = parentWidth + 2 * look.size;
  image.height = parentHeight + 2 * look.size;
  if (image.width <= 0 || image.height <= 0) return {};
  image.pixels.assign(
      static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height), 0);

  // 1-3: the shape's rows with the extra rows of the shadow, shrunk to the solid core.
  SpanList core = Extended(parentRows, parentWidth, look.size);
  Erode(core, parentWidth, look.sharpness - look.size);

  // Shadow row y lies over window row y - size, shadow column x over window column x - size.
  const auto coreRow = [&](int y) {
    ShadowSpan row = core.Row(y - look.size, parentWidth);
    if (row.Empty()) return ShadowSpan{image.width, 0};
    return ShadowSpan{row.left + look.size, row.right + look.size};
  };

  // 4-5: the soft edge, stamped along the ends of every row; where a neighbouring row reaches
  // less far, the stamps run along the step between them.
  const Kernel kernel = MakeKernel(look);
  for (int y = 0; y < image.height; ++y) {
    const ShadowSpan row = coreRow(y);
    if (row.Empty()) continue;
    const ShadowSpan above = coreRow(y - 1);
    const ShadowSpan below = coreRow(y + 1);
    int x = row.left;
    const int leftEnd = std::min(std::max(above.left, below.left) + 1, row.right);
    for (; x < leftEnd; ++x) Stamp(image, kernel, x, y);
    for (x = std::max(x, std::min(above.right, below.right) - 1); x < row.right; ++x) {
      Stamp(image, kernel, x, y);
    }
  }

  // 6: solid inside, clear where the window itself stands.
  const std::uint32_t solid = Premultiplied(look.colour, look.darkness);
  for (int y = 0; y < image.height; ++y) {
    const ShadowSpan row = coreRow(y);
    if (!row.Empty()) FillRow(image, y, row.left, row.right, solid);
    const int parentRow = y - look.size + look.yOffset;
    if (parentRow < 0 || parentRow >= parentHeight) continue;
    const ShadowSpan covered = parentRows[static_cast<std::size_t>(parentRow)];
    if (covered.Empty()) continue;
    const int shift = look.size - look.xOffset;
    FillRow(image, y, covered.left + shift, covered.right + shift, 0);
  }
  return image;
}

}  // namespace ui
