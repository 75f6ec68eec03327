#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "skinui/geometry.h"

namespace skinui {

// A value that does not parse, or an attribute a control does not know. The builder adds the
// file and element to the message.
class AttributeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Strict parsers of attribute texts: the whole text must be the value (blanks around numbers
// are allowed), otherwise AttributeError names the text.
int ParseInt(std::string_view text);
bool ParseBool(std::string_view text);  // "true"/"false" (any case), "1"/"0"
// "l,t,r,b"
Rect ParseRect(std::string_view text);
// "cx,cy"
Size ParseSize(std::string_view text);
// "#AARRGGBB", "#RRGGBB" (opaque), "0xAARRGGBB"; answers 0xAARRGGBB.
std::uint32_t ParseColor(std::string_view text);
// The automation form of a colour: "#AARRGGBB".
std::string FormatColor(std::uint32_t argb);

}  // namespace skinui
