#include "skinui/gtk/window_side_egl.h"

#include <glib.h>

#include <cstring>
#include <filesystem>
#include <string_view>

namespace skinui::gtk {

namespace {

// libglvnd's list of vendor files; with an entry that is no vendor file the list is empty.
constexpr const char* kVendorFiles = "__EGL_VENDOR_LIBRARY_FILENAMES";
constexpr const char* kVendorFolders = "__EGL_VENDOR_LIBRARY_DIRS";
// Also the mark that the variable is ours to remove.
constexpr const char* kNoVendor = "/dev/null";

bool HasRenderNode() {
  std::error_code error;
  for (std::filesystem::directory_iterator it("/dev/dri", error), end; !error && it != end;
       it.increment(error)) {
    if (std::string_view(it->path().filename().c_str()).starts_with("renderD")) return true;
  }
  return false;
}

}  // namespace

void WindowSideEgl::HideVendors() {
  if (g_getenv(kVendorFiles) != nullptr || g_getenv(kVendorFolders) != nullptr) return;
  if (HasRenderNode()) return;
  g_setenv(kVendorFiles, kNoVendor, TRUE);
}

void WindowSideEgl::RestoreVendors() {
  const char* value = g_getenv(kVendorFiles);
  if (value != nullptr && std::strcmp(value, kNoVendor) == 0) g_unsetenv(kVendorFiles);
}

}  // namespace skinui::gtk
