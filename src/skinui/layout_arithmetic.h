#pragma once

#include <vector>

#include "skinui/geometry.h"

namespace skinui {

// What a container needs of one laid-out (visible, not floating) child.
struct LayoutItem {
  Size fixed;    // 0 in a direction = flexible
  Size minSize;  // 0 = none
  Size maxSize;  // 0 = none
  Rect padding;  // outer margin "l,t,r,b"
};

struct LayoutResult {
  std::vector<Rect> rects;  // one per item, in order
  Size content;             // extent used along both directions (for scrolling)
};

// Stacks items top to bottom inside `area`: fixed heights are kept, the rest of the height is
// shared equally among flexible items (rounding remainders go to the later ones), min and max
// bound each share; a child without fixed width spans the area's width less its padding.
LayoutResult LayoutVertical(const Rect& area, const std::vector<LayoutItem>& items,
                            int childPadding);
// The same from left to right.
LayoutResult LayoutHorizontal(const Rect& area, const std::vector<LayoutItem>& items,
                              int childPadding);
// A grid of `columns` equal cells per row; a row is as high as its highest fixed child (a cell
// as high as it is wide when no child of the row has a height). Fixed sizes are kept, at most
// the cell; flexible children fill their cell less padding.
LayoutResult LayoutTile(const Rect& area, const std::vector<LayoutItem>& items, int columns,
                        int childPadding);
// A floating child: `pos` relative to the parent's top-left corner; a zero-width or zero-height
// pos takes the fixed size instead.
Rect LayoutFloat(const Rect& parent, const Rect& pos, Size fixed);
// Keeps a scroll offset inside [0, content − view].
int ClampScroll(int offset, int content, int view);

}  // namespace skinui
