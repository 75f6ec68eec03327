#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/message_loop.h"
#include "skinui/gtk/web_engine.h"
#include "skinui/window_backend.h"

namespace skinui::gtk {

struct GtkBackendOptions {
  // Where the web views keep their data (empty: in memory only).
  std::string webDataDirectory;
  // A picture file for the windows' icon (empty or unreadable: the desktop's default).
  std::string iconFile;
  // The web module's file (empty: beside the program).
  std::string webModule;
};

// Real windows on the desktop through GTK 3 (the display must be open, see DesktopDisplay):
// an undecorated window per library window whose client area the library paints, native text
// entries over focused edits, WebKitGTK views over web-browser controls (from the web module).
class GtkBackend final : public WindowBackend {
 public:
  GtkBackend(platform::MessageLoop& loop, GtkBackendOptions options = {});
  ~GtkBackend() override;

  std::unique_ptr<NativeWindow> CreateNativeWindow(Window& window) override;
  // The primary monitor and its work area (without panels and docks).
  Rect ScreenRect() const override;
  Rect WorkArea() const override;
  // GTK's folder chooser, modal over the owner's window.
  std::optional<std::u16string> BrowseForFolder(Window& owner, const std::u16string& title,
                                                const std::u16string& start) override;

  platform::MessageLoop& Loop() const { return loop_; }
  WebEngine& Web() { return web_; }
  // Layered windows (shadows) are translucent only where a compositor runs; elsewhere they
  // are not shown at all, so a window simply has no shadow.
  bool LayeredWindowsAvailable() const;

  // Called once, when the first frame of any window has been painted (start-up measurements).
  void SetFirstFrameHandler(std::function<void()> handler) { firstFrame_ = std::move(handler); }
  void FramePainted();

 private:
  platform::MessageLoop& loop_;
  GtkBackendOptions options_;
  WebEngine web_;
  std::function<void()> firstFrame_;
  bool framePainted_ = false;
};

}  // namespace skinui::gtk
