#pragma once

#include <gtk/gtk.h>

#include "skinui/geometry.h"

namespace skinui::gtk {

// A native widget placed over the painted client area (a text entry, a web view).
class OverlayClient {
 public:
  virtual ~OverlayClient() = default;
  // The window is being destroyed with the widget in it: forget both.
  virtual void HostGone() = 0;
};

// A window that keeps native widgets over its painted client area, each at a client rectangle.
class OverlayHost {
 public:
  virtual ~OverlayHost() = default;
  // Adds the widget (hidden) above the painting; the host holds a reference until removal.
  virtual void AddOverlay(GtkWidget* widget, OverlayClient* client) = 0;
  virtual void PlaceOverlay(GtkWidget* widget, const Rect& clientRect, bool visible) = 0;
  // Takes the widget out and destroys it.
  virtual void RemoveOverlay(GtkWidget* widget) = 0;
};

}  // namespace skinui::gtk
