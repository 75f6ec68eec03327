#pragma once

#include <gdk/gdk.h>

#include <cstdint>
#include <optional>

namespace skinui::gtk {

// The virtual-key code the library's WM_KEYDOWN carries for a GDK key value; 0 for keys the
// library has no code for (modifiers, dead keys).
std::uintptr_t VirtualKeyFromKeyval(guint keyval);

// The edge a window is resized from for a non-client hit-test answer (HTLEFT …
// HTBOTTOMRIGHT); none for the caption, the client area and anything else.
std::optional<GdkWindowEdge> ResizeEdgeForHitTest(std::intptr_t hit);

// The cursor name (CSS names, as gdk_cursor_new_from_name takes them) shown over a hit-test
// zone; null for the default arrow.
const char* CursorNameForHitTest(std::intptr_t hit);

// Wheel rotation in the system's units (120 per notch, positive away from the user) for a GDK
// scroll; smooth scrolling gives fractions of a notch.
int WheelDeltaFromScroll(GdkScrollDirection direction, double smoothDeltaY);

}  // namespace skinui::gtk
