#include "skinui/gtk/gtk_backend.h"

#include <gtk/gtk.h>

#include "skinui/gtk/desktop_display.h"
#include "skinui/gtk/gtk_native_window.h"

namespace skinui::gtk {

namespace {

GdkMonitor* PrimaryMonitor() {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return nullptr;
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr && gdk_display_get_n_monitors(display) > 0) {
    monitor = gdk_display_get_monitor(display, 0);
  }
  return monitor;
}

Rect ToRect(const GdkRectangle& r) {
  return {r.x, r.y, r.x + r.width, r.y + r.height};
}

}  // namespace

GtkBackend::GtkBackend(platform::MessageLoop& loop, GtkBackendOptions options)
    : loop_(loop), options_(std::move(options)), web_(loop, {options_.webDataDirectory}) {
  if (!options_.iconFile.empty()) {
    gtk_window_set_default_icon_from_file(options_.iconFile.c_str(), nullptr);
  }
}

GtkBackend::~GtkBackend() = default;

std::unique_ptr<NativeWindow> GtkBackend::CreateNativeWindow(Window& window) {
  return std::make_unique<GtkNativeWindow>(*this, window);
}

Rect GtkBackend::ScreenRect() const {
  GdkMonitor* monitor = PrimaryMonitor();
  if (monitor == nullptr) return {0, 0, 1024, 768};
  GdkRectangle r;
  gdk_monitor_get_geometry(monitor, &r);
  return ToRect(r);
}

Rect GtkBackend::WorkArea() const {
  GdkMonitor* monitor = PrimaryMonitor();
  if (monitor == nullptr) return ScreenRect();
  GdkRectangle r;
  gdk_monitor_get_workarea(monitor, &r);
  return ToRect(r);
}

bool GtkBackend::LayeredWindowsAvailable() const {
  return DesktopDisplay::Composited();
}

void GtkBackend::FramePainted() {
  if (framePainted_) return;
  framePainted_ = true;
  if (firstFrame_) firstFrame_();
}

}  // namespace skinui::gtk
