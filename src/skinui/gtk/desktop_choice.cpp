#include "skinui/gtk/desktop_choice.h"

#include <cstdlib>

namespace skinui::gtk {

namespace {

bool Named(const char* value) {
  return value != nullptr && *value != '\0';
}

}  // namespace

bool DesktopRequested(const char* display, const char* waylandDisplay, const char* headless) {
  if (Named(headless)) return false;
  return Named(display) || Named(waylandDisplay);
}

bool DesktopRequestedByEnvironment() {
  return DesktopRequested(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                          std::getenv("ZELK_HEADLESS"));
}

}  // namespace skinui::gtk
