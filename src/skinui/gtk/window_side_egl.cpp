#include "skinui/gtk/window_side_egl.h"

#include <glib.h>

#include <cstring>
#include <filesystem>
#include <string_view>

namespace skinui::gtk {

namespace {

// libglvnd's vendor variables: a list of vendor files, or else a list of folders searched for
// them.
constexpr const char* kVendorFiles = "__EGL_VENDOR_LIBRARY_FILENAMES";
constexpr const char* kVendorFolders = "__EGL_VENDOR_LIBRARY_DIRS";
// No folder at all, so no vendor; also the mark that the variable is ours.
constexpr const char* kNoVendorFolder = "/dev/null";
// The folders libglvnd searches when the variable is not set.
constexpr const char* kDefaultVendorFolders =
    "/etc/glvnd/egl_vendor.d:/usr/share/glvnd/egl_vendor.d";

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
  g_setenv(kVendorFolders, kNoVendorFolder, TRUE);
}

void WindowSideEgl::RestoreVendors() {
  const char* value = g_getenv(kVendorFolders);
  if (value == nullptr || std::strcmp(value, kNoVendorFolder) != 0) return;
  // Other threads may be reading the environment by now: removing the variable would shift
  // the entries under them, while a new value only replaces the one entry.
  g_setenv(kVendorFolders, kDefaultVendorFolders, TRUE);
}

}  // namespace skinui::gtk
