#include "skinui/gtk/desktop_display.h"

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <vector>

#include "skinui/gtk/window_side_egl.h"

namespace skinui::gtk {

namespace {

// Xlib's fatal-error hook takes no context: the one handler of the process lives here.
std::function<void()>& LostHandler() {
  static std::function<void()> handler;
  return handler;
}

int OnDisplayLost(Display*) {
  try {
    if (LostHandler()) LostHandler()();
  } catch (...) {
    // Ending is all that is left; the exit status tells why.
  }
  // Xlib must not return from here, and nothing of GTK may run any more: no exit handlers.
  _exit(1);
}

void ShapeX11(GdkWindow* window, int kind, const cairo_region_t* region) {
  Display* display = GDK_WINDOW_XDISPLAY(window);
  const ::Window xid = GDK_WINDOW_XID(window);
  if (region == nullptr) {
    XShapeCombineMask(display, xid, kind, 0, 0, None, ShapeSet);
    return;
  }
  // The window's pixels may be more than its size in layout units (HiDPI).
  const int scale = gdk_window_get_scale_factor(window);
  std::vector<XRectangle> rects;
  for (int i = 0; i < cairo_region_num_rectangles(region); ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(region, i, &r);
    rects.push_back({static_cast<short>(r.x * scale), static_cast<short>(r.y * scale),
                     static_cast<unsigned short>(r.width * scale),
                     static_cast<unsigned short>(r.height * scale)});
  }
  XShapeCombineRectangles(display, xid, kind, 0, 0, rects.data(), static_cast<int>(rects.size()),
                          ShapeSet, YXBanded);
}

// GTK on the display. The window library paints with cairo alone, so GDK is told not to probe
// OpenGL while it opens the display: to choose its visuals the probe loads the GL driver (with
// software rendering a whole compiler, LLVM), which costs the start several times what the rest
// of opening the display does. Web views render without GDK's OpenGL. A choice the user made in
// GDK_GL stands; the variable is gone again before anything starts a child process, so programs
// the client starts keep their OpenGL.
bool InitGtk() {
  const bool chosen = g_getenv("GDK_GL") != nullptr;
  if (!chosen) g_setenv("GDK_GL", "disable", TRUE);
  const bool opened = gtk_init_check(nullptr, nullptr);
  if (!chosen) g_unsetenv("GDK_GL");
  return opened;
}

}  // namespace

bool DesktopDisplay::Open(const std::string& programName, std::function<void()> onLost,
                          std::string& error) {
  g_set_prgname(programName.c_str());
  WindowSideEgl::HideVendors();
  if (!InitGtk()) {
    WindowSideEgl::RestoreVendors();
    error = "the display cannot be opened";
    return false;
  }
  LostHandler() = std::move(onLost);
  GdkDisplay* display = gdk_display_get_default();
  if (display != nullptr && GDK_IS_X11_DISPLAY(display)) {
    XSetIOErrorHandler(&OnDisplayLost);
  } else {
    WindowSideEgl::RestoreVendors();
  }
  return true;
}

bool DesktopDisplay::ShowPlainMessage(const std::string& programName, const std::string& caption,
                                      const std::string& text) {
  g_set_prgname(programName.c_str());
  if (!InitGtk()) return false;
  GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                             GTK_BUTTONS_OK, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  return true;
}

bool DesktopDisplay::Composited() {
  GdkScreen* screen = gdk_screen_get_default();
  return screen != nullptr && gdk_screen_is_composited(screen) &&
         gdk_screen_get_rgba_visual(screen) != nullptr;
}

void DesktopDisplay::Activate(GtkWidget* toplevel) {
  gtk_window_present(GTK_WINDOW(toplevel));
  GdkWindow* window = gtk_widget_get_window(toplevel);
  if (window == nullptr || !GDK_IS_X11_WINDOW(window)) return;
  GdkScreen* screen = gdk_window_get_screen(window);
  if (gdk_x11_screen_supports_net_wm_hint(screen,
                                          gdk_atom_intern_static_string("_NET_ACTIVE_WINDOW"))) {
    return;
  }
  gdk_window_focus(window, GDK_CURRENT_TIME);
}

std::optional<bool> DesktopDisplay::FocusedNow(GtkWidget* toplevel) {
  GdkWindow* window = gtk_widget_get_window(toplevel);
  if (window == nullptr) return false;
  if (!GDK_IS_X11_WINDOW(window)) return std::nullopt;
  Display* display = GDK_WINDOW_XDISPLAY(window);
  ::Window focus = None;
  int revertTo = 0;
  XGetInputFocus(display, &focus, &revertTo);
  if (focus == PointerRoot) return std::nullopt;
  // GDK may give the focus to a child of the toplevel (its focus window).
  const ::Window own = GDK_WINDOW_XID(window);
  const ::Window rootWindow =
      GDK_WINDOW_XID(gdk_screen_get_root_window(gdk_window_get_screen(window)));
  gdk_x11_display_error_trap_push(gdk_window_get_display(window));
  while (focus != None && focus != own && focus != rootWindow) {
    ::Window root = None;
    ::Window parent = None;
    ::Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, focus, &root, &parent, &children, &count) == 0) parent = None;
    if (children != nullptr) XFree(children);
    focus = parent;
  }
  gdk_x11_display_error_trap_pop_ignored(gdk_window_get_display(window));
  return focus == own;
}

void DesktopDisplay::Shape(GtkWidget* toplevel, const cairo_region_t* visible,
                           const cairo_region_t* input) {
  GdkWindow* window = gtk_widget_get_window(toplevel);
  if (window == nullptr) return;
  if (GDK_IS_X11_WINDOW(window)) {
    gdk_x11_display_error_trap_push(gdk_window_get_display(window));
    ShapeX11(window, ShapeBounding, visible);
    ShapeX11(window, ShapeInput, input);
    gdk_x11_display_error_trap_pop_ignored(gdk_window_get_display(window));
    return;
  }
  gtk_widget_shape_combine_region(toplevel, const_cast<cairo_region_t*>(visible));
  gtk_widget_input_shape_combine_region(toplevel, const_cast<cairo_region_t*>(input));
}

}  // namespace skinui::gtk
