#include "skinui/gtk/gtk_backend.h"

#include <gtk/gtk.h>

#include "skinui/gtk/desktop_display.h"
#include "skinui/gtk/gtk_native_window.h"
#include "skinui/text_utf.h"
#include "skinui/window.h"

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
    : loop_(loop),
      options_(std::move(options)),
      web_(loop, {options_.webDataDirectory, options_.webModule}) {
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

std::optional<std::u16string> GtkBackend::BrowseForFolder(Window& owner,
                                                          const std::u16string& title,
                                                          const std::u16string& start) {
  auto* native = dynamic_cast<GtkNativeWindow*>(owner.GetNative());
  GtkWindow* parent = native != nullptr ? GTK_WINDOW(native->Toplevel()) : nullptr;
  const std::string titleText = Utf16ToUtf8(title);
  GtkWidget* dialog = gtk_file_chooser_dialog_new(
      titleText.c_str(), parent, GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, "取消", GTK_RESPONSE_CANCEL,
      "选择", GTK_RESPONSE_ACCEPT, nullptr);
  // Only folders of the file system, no virtual places.
  gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(dialog), TRUE);
  if (!start.empty()) {
    gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(dialog), Utf16ToUtf8(start).c_str());
  }
  std::optional<std::u16string> chosen;
  if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
    if (gchar* folder = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog))) {
      chosen = Utf8ToUtf16(folder);
      g_free(folder);
    }
  }
  gtk_widget_destroy(dialog);
  return chosen;
}

bool GtkBackend::LayeredWindowsAvailable() const {
  return DesktopDisplay::Composited();
}

void GtkBackend::FramePainted() {
  if (framePainted_) return;
  framePainted_ = true;
  if (firstFrame_) firstFrame_();
  web_.FirstFramePainted();
}

}  // namespace skinui::gtk
