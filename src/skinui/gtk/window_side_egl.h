#pragma once

namespace skinui::gtk {

// On a machine without a GPU, WebKit's side in the program's own process would start Mesa's
// software OpenGL (LLVM with it: about 30 MB of the client's memory) only to learn how the web
// process may hand over its frames. Without a GPU those come in shared memory and are painted
// with cairo either way; the web process, which does need EGL, brings up its own.
//
// So EGL is given no vendor in the program's process: libglvnd reads the vendor list once, at
// the first EGL call. The variable that empties it is set while the display opens (before other
// threads read the environment), the web module makes EGL read it when it loads, and then the
// variable names libglvnd's usual folders, before WebKit starts its web process and before the
// client starts any program, so both find the machine's EGL.
class WindowSideEgl {
 public:
  // Before GTK opens the display. Does nothing where a GPU's render node exists or when the
  // user chose EGL vendors.
  static void HideVendors();
  // Once the web module has loaded (or failed to), or at once when the display is not X11 (the
  // only one this was tried on): EGL finds its vendors again where HideVendors hid them.
  static void RestoreVendors();
};

}  // namespace skinui::gtk
