#include "skinui/gtk/input_translation.h"

#include <gdk/gdkkeysyms.h>

#include <cmath>

#include "skinui/window_messages.h"

namespace skinui::gtk {

namespace {

struct KeyPair {
  guint keyval;
  std::uintptr_t vk;
};

// Keys whose codes are not letters or digits (the codes of the system the library keeps).
constexpr KeyPair kSpecialKeys[] = {
    {GDK_KEY_BackSpace, 0x08},
    {GDK_KEY_Tab, VK_TAB},
    {GDK_KEY_ISO_Left_Tab, VK_TAB},
    {GDK_KEY_Return, VK_RETURN},
    {GDK_KEY_KP_Enter, VK_RETURN},
    {GDK_KEY_ISO_Enter, VK_RETURN},
    {GDK_KEY_Escape, VK_ESCAPE},
    {GDK_KEY_space, 0x20},
    {GDK_KEY_Page_Up, 0x21},
    {GDK_KEY_Page_Down, 0x22},
    {GDK_KEY_End, 0x23},
    {GDK_KEY_Home, 0x24},
    {GDK_KEY_Left, 0x25},
    {GDK_KEY_Up, 0x26},
    {GDK_KEY_Right, 0x27},
    {GDK_KEY_Down, 0x28},
    {GDK_KEY_Insert, 0x2D},
    {GDK_KEY_Delete, 0x2E},
    {GDK_KEY_KP_Left, 0x25},
    {GDK_KEY_KP_Up, 0x26},
    {GDK_KEY_KP_Right, 0x27},
    {GDK_KEY_KP_Down, 0x28},
    {GDK_KEY_KP_Delete, 0x2E},
};

}  // namespace

std::uintptr_t VirtualKeyFromKeyval(guint keyval) {
  for (const KeyPair& pair : kSpecialKeys) {
    if (pair.keyval == keyval) return pair.vk;
  }
  if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return 'A' + (keyval - GDK_KEY_a);
  if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) return 'A' + (keyval - GDK_KEY_A);
  if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return '0' + (keyval - GDK_KEY_0);
  if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9) return 0x60 + (keyval - GDK_KEY_KP_0);
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12) return 0x70 + (keyval - GDK_KEY_F1);
  return 0;
}

std::optional<GdkWindowEdge> ResizeEdgeForHitTest(std::intptr_t hit) {
  switch (hit) {
    case HTLEFT:
      return GDK_WINDOW_EDGE_WEST;
    case HTRIGHT:
      return GDK_WINDOW_EDGE_EAST;
    case HTTOP:
      return GDK_WINDOW_EDGE_NORTH;
    case HTBOTTOM:
      return GDK_WINDOW_EDGE_SOUTH;
    case HTTOPLEFT:
      return GDK_WINDOW_EDGE_NORTH_WEST;
    case HTTOPRIGHT:
      return GDK_WINDOW_EDGE_NORTH_EAST;
    case HTBOTTOMLEFT:
      return GDK_WINDOW_EDGE_SOUTH_WEST;
    case HTBOTTOMRIGHT:
      return GDK_WINDOW_EDGE_SOUTH_EAST;
    default:
      return std::nullopt;
  }
}

const char* CursorNameForHitTest(std::intptr_t hit) {
  switch (hit) {
    case HTLEFT:
      return "w-resize";
    case HTRIGHT:
      return "e-resize";
    case HTTOP:
      return "n-resize";
    case HTBOTTOM:
      return "s-resize";
    case HTTOPLEFT:
      return "nw-resize";
    case HTTOPRIGHT:
      return "ne-resize";
    case HTBOTTOMLEFT:
      return "sw-resize";
    case HTBOTTOMRIGHT:
      return "se-resize";
    default:
      return nullptr;
  }
}

int WheelDeltaFromScroll(GdkScrollDirection direction, double smoothDeltaY) {
  switch (direction) {
    case GDK_SCROLL_UP:
      return 120;
    case GDK_SCROLL_DOWN:
      return -120;
    case GDK_SCROLL_SMOOTH:
      // GDK's smooth deltas grow downwards, one unit per notch.
      return static_cast<int>(std::lround(-smoothDeltaY * 120.0));
    default:
      return 0;
  }
}

}  // namespace skinui::gtk
