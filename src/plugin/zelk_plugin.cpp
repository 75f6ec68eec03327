#include "zelk_plugin.h"

#include <X11/Xlib.h>
#include <cairo-xlib.h>
#include <gdk/gdkx.h>

#include <cstdint>

#include "browser_functions.h"
#include "plugin_painter.h"

namespace plugin {
namespace {

// Where the window's user data holds the instance that paints it.
constexpr const char* kObjectKey = "zelk-plugin-object";

void PaintWindow(GdkWindow* window) {
  Display* display = GDK_WINDOW_XDISPLAY(window);
  const Window xid = GDK_WINDOW_XID(window);
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, xid, &attributes) == 0) return;
  cairo_surface_t* surface = cairo_xlib_surface_create(display, xid, attributes.visual,
                                                       attributes.width, attributes.height);
  cairo_t* cr = cairo_create(surface);
  const auto* object =
      static_cast<const CZelkPlugin*>(g_object_get_data(G_OBJECT(window), kObjectKey));
  const char* text = nullptr;
  if (object != nullptr) {
    const char* agent = NPN_UserAgent(object->instance());
    text = agent != nullptr ? agent : "";
  }
  PaintPluginArea(cr, attributes.width, attributes.height, text);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  XFlush(display);
}

// The plug-in's window procedure: paints on the last exposure of a series and hands every event,
// the exposure included, on to the toolkit.
GdkFilterReturn WindowProcedure(GdkXEvent* native, GdkEvent*, gpointer data) {
  const auto* event = static_cast<const XEvent*>(native);
  if (event->type == Expose && event->xexpose.count == 0) {
    PaintWindow(static_cast<GdkWindow*>(data));
  }
  return GDK_FILTER_CONTINUE;
}

}  // namespace

CZelkPlugin::CZelkPlugin(NPP instance) : instance_(instance) {}

CZelkPlugin::~CZelkPlugin() {
  if (initialized_) shut();
}

bool CZelkPlugin::init(NPWindow* window) {
  if (window == nullptr || window->window == nullptr) return false;
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) return false;
  const auto xid = static_cast<Window>(reinterpret_cast<std::uintptr_t>(window->window));
  GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, xid);
  if (foreign == nullptr) return false;
  window_.reset(foreign);
  gdk_window_set_events(
      foreign, static_cast<GdkEventMask>(gdk_window_get_events(foreign) | GDK_EXPOSURE_MASK));
  g_object_set_data(G_OBJECT(foreign), kObjectKey, this);
  gdk_window_add_filter(foreign, &WindowProcedure, foreign);
  initialized_ = true;
  // The window may have been shown before the plug-in listened: ask for a paint now.
  XClearArea(GDK_WINDOW_XDISPLAY(foreign), xid, 0, 0, 0, 0, True);
  XFlush(GDK_WINDOW_XDISPLAY(foreign));
  return true;
}

void CZelkPlugin::shut() {
  if (window_ != nullptr) {
    gdk_window_remove_filter(window_.get(), &WindowProcedure, window_.get());
    g_object_set_data(G_OBJECT(window_.get()), kObjectKey, nullptr);
    window_.reset();
  }
  initialized_ = false;
}

bool CZelkPlugin::isInitialized() const {
  return initialized_;
}

}  // namespace plugin
