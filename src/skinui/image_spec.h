#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "skinui/geometry.h"

namespace skinui {

// An image attribute: a plain file name, or "file='x.png' source='l,t,r,b' corner='l,t,r,b'"
// where source picks a part of the file and corner gives the nine-slice borders that keep their
// size when the image is stretched.
struct ImageSpec {
  std::string file;
  std::optional<Rect> source;
  Rect corner;

  bool empty() const { return file.empty(); }
};

// Throws AttributeError for unknown keys, unterminated quotes or bad rectangles.
ImageSpec ParseImageSpec(std::string_view text);

}  // namespace skinui
