#pragma once

namespace skinui::gtk {

// Whether the program opens real windows: a display is named (DISPLAY or WAYLAND_DISPLAY) and
// headless running is not asked for (ZELK_HEADLESS set to anything but an empty text).
bool DesktopRequested(const char* display, const char* waylandDisplay, const char* headless);
// The same question asked of this process's environment.
bool DesktopRequestedByEnvironment();

}  // namespace skinui::gtk
