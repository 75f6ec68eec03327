#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "skinui/geometry.h"

namespace skinui {

class Window;

// The non-client hit test of a window without a system frame. When the window is not
// maximised, the size box widths of its layout give the resize zones along the edges.
// Otherwise a point inside the caption rectangle (left and right insets from the sides, top
// and bottom measured from the window top; a bottom of 0 means no caption) that is not over a
// control of one of `clientClasses` is the caption; everything else is client.
std::intptr_t NonClientHitTest(Window& window, Point screenPoint,
                               std::initializer_list<std::string_view> clientClasses = {
                                   "ButtonUI", "OptionUI", "TextUI"});

}  // namespace skinui
