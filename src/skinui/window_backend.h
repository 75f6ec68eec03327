#pragma once

#include <memory>
#include <optional>
#include <string>

#include "skinui/geometry.h"

namespace skinui {

class Edit;
class WebBrowser;
class Window;

// A page view a backend places over a web-browser control. It reports back through the
// control's OnNavigateComplete, OnNavigateError and OnPageCommand, on the window thread.
class WebView {
 public:
  virtual ~WebView() = default;
  virtual void Navigate(const std::string& url) = 0;
  virtual void SetRect(const Rect& clientRect) = 0;
  virtual void SetVisible(bool visible) = 0;
};

// The system side of one window. The library keeps the window's state (rectangle, visibility,
// styles) itself and tells the backend; the backend feeds input back as window messages
// (Window::SendMessage) and paints by sending WM_PAINT with its cairo_t.
class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
  virtual void SetCaption(const std::u16string& caption) = 0;
  virtual void SetBounds(const Rect& screenRect) = 0;
  virtual void Show(bool visible, bool activate) = 0;
  virtual void SetMinimized(bool minimized) = 0;
  virtual void SetTopmost(bool topmost) = 0;
  // Cuts the window to a rounded rectangle (0,0 = square corners).
  virtual void SetRoundCorners(Size corner) = 0;
  // Something in the client rectangle must be painted again.
  virtual void Invalidate(const Rect& clientRect) = 0;
  // Called once the window has handled a WM_PAINT.
  virtual void Painted() = 0;
  // Shows the window sliding up into its rectangle over the given time, without activation.
  virtual void AnimateSlideIn(int durationMs) = 0;
  // An edit got the keyboard focus: a native text entry may be placed over it (the text goes
  // back with Edit::TypeText). EndTextInput when it loses the focus.
  virtual void BeginTextInput(Edit& edit) = 0;
  virtual void EndTextInput() = 0;
  // Cuts the window to a rectangle of its client area (an empty one: the whole window).
  virtual void SetClip(const Rect& clientRect) { (void)clientRect; }
  // A view for a web-browser control of this window.
  virtual std::unique_ptr<WebView> CreateWebView(WebBrowser& browser) = 0;
  // Writes what the window shows on screen (native overlays such as web views included) as a
  // PNG file. False when the backend has no screen to read; the library then paints itself.
  virtual bool CaptureToPng(const std::string& path) {
    (void)path;
    return false;
  }
};

// Creates native windows and knows the screen.
class WindowBackend {
 public:
  virtual ~WindowBackend() = default;
  virtual std::unique_ptr<NativeWindow> CreateNativeWindow(Window& window) = 0;
  virtual Rect ScreenRect() const = 0;
  virtual Rect WorkArea() const = 0;
  // Asks the user for a folder with the system's folder browser owned by `owner`, starting at
  // `start`; nullopt when the user cancels or the backend has no such browser.
  virtual std::optional<std::u16string> BrowseForFolder(Window& owner, const std::u16string& title,
                                                        const std::u16string& start) {
    (void)owner;
    (void)title;
    (void)start;
    return std::nullopt;
  }
};

}  // namespace skinui
