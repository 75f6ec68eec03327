#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message_loop.h"
#include "platform/shell_open.h"
#include "skinui/image_cache.h"
#include "skinui/skin_look.h"
#include "skinui/window_backend.h"

namespace skinui {

class Window;

// Everything the windows of one window thread share: the message loop, the backend, the
// resource folder (the skin), decoded images, the log, the list of live windows, the active
// window, and the process-wide windows the features name (message box, popup notice). The
// context that was constructed last on a thread is that thread's current one.
class UiContext : public platform::MessageTarget {
 public:
  using LogSink = std::function<void(const std::string&)>;

  UiContext(platform::MessageLoop& loop, std::unique_ptr<WindowBackend> backend,
            std::string resourcePath = DefaultResourcePath());
  ~UiContext() override;
  UiContext(const UiContext&) = delete;
  UiContext& operator=(const UiContext&) = delete;

  // The context of the calling (window) thread, or null.
  static UiContext* Current();
  // "<program dir>/Skin/Zelk".
  static std::string DefaultResourcePath();

  platform::MessageLoop& Loop() const { return loop_; }
  WindowBackend& Backend() const { return *backend_; }
  const std::string& ResourcePath() const { return resourcePath_; }
  void SetResourcePath(std::string path);
  ImageCache& Images() { return images_; }

  void Log(const std::string& line) const;
  void SetLogSink(LogSink sink) { log_ = std::move(sink); }

  void RegisterWindow(Window* window);
  void UnregisterWindow(Window* window);
  // Live windows, oldest first.
  const std::vector<Window*>& Windows() const { return windows_; }
  // The newest live window of a window class name.
  Window* FindWindowByClass(std::string_view className) const;
  Window* GetActiveWindow() const { return active_; }
  // Activation: the old window gets WM_ACTIVATE 0 and WM_KILLFOCUS, the new one WM_ACTIVATE 1
  // and WM_SETFOCUS.
  void SetActiveWindow(Window* window);
  // The active window was hidden or destroyed: the window active before it that is still shown
  // becomes active again, as a desktop does.
  void ActivatePrevious(Window* leaving);

  // Hands over a window that deletes itself after its last message (menus, pop-ups).
  Window* AdoptWindow(std::unique_ptr<Window> window);
  // Called by a window after OnFinalMessage; an adopted window is freed once the current
  // message is done.
  void WindowFinished(Window* window);

  // Process-wide windows by key (created on first use, living until the context ends).
  Window* SharedWindow(const std::string& key) const;
  Window* SetSharedWindow(const std::string& key, std::unique_ptr<Window> window);

  // The look the user chose for the windows' "Root" (colour or image); windows that follow the
  // stored skin apply it each time they are shown.
  const SkinLook& GetSkinLook() const { return skinLook_; }
  void SetSkinLook(SkinLook look) { skinLook_ = std::move(look); }

  // The shell launcher of the program (the automation reports its requests).
  platform::ShellLauncher* Shell() const { return shell_; }
  void SetShell(platform::ShellLauncher* shell) { shell_ = shell; }

 private:
  void onMessage(platform::Message& message) override;
  // The skin's fontconfig aliases ("fonts.conf"), when it has them.
  void LoadSkinFonts();

  platform::MessageLoop& loop_;
  std::unique_ptr<WindowBackend> backend_;
  std::string resourcePath_;
  LogSink log_;
  ImageCache images_;
  platform::WindowId id_ = 0;
  std::vector<Window*> windows_;
  Window* active_ = nullptr;
  std::vector<Window*> activationOrder_;  // most recent last
  std::vector<std::unique_ptr<Window>> adopted_;
  std::map<std::string, std::unique_ptr<Window>> shared_;
  platform::ShellLauncher* shell_ = nullptr;
  SkinLook skinLook_;
  UiContext* previous_ = nullptr;
};

}  // namespace skinui
