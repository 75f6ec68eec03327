#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <optional>
#include <string>

namespace skinui::gtk {

// The connection of the process to the desktop's display, opened once before any window.
// GTK reads nothing from the program's command line (the client takes its whole command line
// as a request). When the display goes away (the X server ends, the SSH tunnel drops) GTK
// cannot go on: `onLost` runs (it writes the log line) and the process ends with status 1
// instead of failing somewhere inside the toolkit. GDK opens the display without OpenGL (see
// desktop_display.cpp); call it before starting threads that read the environment.
class DesktopDisplay {
 public:
  // False (with the reason) when no display can be opened.
  static bool Open(const std::string& programName, std::function<void()> onLost,
                   std::string& error);
  // The desktop's own message dialog (no owner, OK only), for a failure before the program has
  // any window library to show it in. False when no display can be opened.
  static bool ShowPlainMessage(const std::string& programName, const std::string& caption,
                               const std::string& text);
  // Whether a compositing manager runs (windows can be translucent).
  static bool Composited();
  // Raises the window and gives it the keyboard focus. Without a window manager that activates
  // windows, the focus is set directly: GTK would stamp the request with the time of the
  // program's last input, and the X server ignores a focus change older than the last one.
  static void Activate(GtkWidget* toplevel);
  // Whether the keyboard focus is in the window at this moment. On X11 the server is asked (a
  // round trip): its focus events reach GTK late, after the program may already have moved the
  // focus on (a window hidden and another shown at once), and taking such an event as news
  // would hand the focus back and forth between the windows for ever. Empty where the display
  // cannot tell (another kind of display, the focus following the pointer).
  static std::optional<bool> FocusedNow(GtkWidget* toplevel);
  // Cuts a realized window to `visible` and lets input through only in `input` (null: the
  // whole window). GDK does not apply a new shape to a realized X11 toplevel, so on X11 the
  // shapes are set through the X server's shape extension directly.
  static void Shape(GtkWidget* toplevel, const cairo_region_t* visible,
                    const cairo_region_t* input);
};

}  // namespace skinui::gtk
