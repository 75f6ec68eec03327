#pragma once

#include <cairo.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/message_loop.h"
#include "skinui/geometry.h"
#include "skinui/paint_manager.h"
#include "skinui/window_backend.h"

namespace skinui {

class UiContext;

// A top-level window of the library: created with owner, caption, styles, position and size;
// it receives the system's messages (numbers as in window_messages.h) and messages posted to it
// through the message loop in HandleMessage, and owns the paint manager of its controls.
// Messages posted with PostMessage carry a platform::Payload*: HandleMessage gets it in lParam
// (valid during the call; take() it to keep the object).
class Window : public platform::MessageTarget {
 public:
  static constexpr int kUseDefault = INT_MIN;

  explicit Window(UiContext& context);
  ~Window() override;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  virtual std::string GetWindowClassName() const = 0;
  virtual std::uint32_t GetClassStyle() const { return 0; }

  bool Create(Window* owner, std::u16string caption, std::uint32_t style, std::uint32_t exStyle,
              int x = kUseDefault, int y = kUseDefault, int cx = kUseDefault, int cy = kUseDefault);
  bool IsWindow() const { return created_; }
  void ShowWindow(bool show = true, bool takeFocus = true);
  // Shows the window without activating it, sliding it up into place.
  void AnimateSlideIn(int durationMs);
  // Asks the window to close (WM_CLOSE); by default it is then destroyed.
  void Close();
  // WM_DESTROY, WM_NCDESTROY, then OnFinalMessage.
  void Destroy();
  void CenterWindow();
  void MoveWindow(const Rect& screenRect);
  void ResizeClient(int cx, int cy);
  void SetTopmost(bool topmost);

  std::intptr_t SendMessage(std::uint32_t message, std::uintptr_t wParam = 0,
                            std::intptr_t lParam = 0);
  // Any thread.
  void PostMessage(std::uint32_t message, std::uintptr_t wParam = 0,
                   platform::Payload payload = {});
  void SetTimer(std::uint32_t id, std::int64_t elapseMs);
  void KillTimer(std::uint32_t id);

  virtual std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam);
  virtual void OnFinalMessage() {}

  platform::WindowId GetHWND() const { return id_; }
  Window* GetOwner() const { return owner_; }
  bool IsVisible() const { return created_ && visible_; }
  bool IsMinimized() const { return minimized_; }
  bool IsMaximized() const { return maximized_; }
  bool IsActive() const;
  Rect GetWindowRect() const { return rect_; }
  Rect GetClientRect() const { return {0, 0, rect_.Width(), rect_.Height()}; }
  const std::u16string& GetCaption() const { return caption_; }
  void SetCaption(std::u16string caption);
  std::uint32_t GetStyle() const { return style_; }
  void SetStyle(std::uint32_t style) { style_ = style; }
  std::uint32_t GetExStyle() const { return exStyle_; }
  PaintManager& GetPaintManager() { return paintManager_; }
  const PaintManager& GetPaintManager() const { return paintManager_; }
  UiContext& GetContext() const { return context_; }
  NativeWindow* GetNative() const { return native_.get(); }
  Point ClientToScreen(Point pt) const { return {pt.x + rect_.left, pt.y + rect_.top}; }

  void Invalidate();
  void Invalidate(const Rect& rect);
  // Paints the window (laid out first) into a cairo context of its client size.
  void PaintTo(cairo_t* cr);
  // Writes the painted window as a PNG file.
  bool Screenshot(const std::string& path);
  // Called by the paint manager when the control focus moves.
  void FocusChanged(Control* from, Control* to);

 protected:
  // After a size change (WM_SIZE's kind): unless minimised, cuts the window to the rounded
  // rectangle of its layout's round-corner size.
  void ApplyRoundCorners(std::uintptr_t sizeKind);
  // Builds a layout file of the skin folder into the window's paint manager. A layout that
  // cannot be read is logged and replaced by an empty root named "Root", so the window still
  // runs with its features inert; false then. Lines go to `log`, or to the context's log.
  bool AttachLayout(const std::string& file,
                    const std::function<void(const std::string&)>& log = nullptr);
  // The system's default handling: close destroys, system commands minimise, maximise,
  // restore and close, maximised size from WM_GETMINMAXINFO.
  std::intptr_t DefWindowProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
  void onMessage(platform::Message& message) override;

  PaintManager paintManager_;

 private:
  std::intptr_t Dispatch(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
  void SetBounds(const Rect& rect, std::uintptr_t sizeKind);
  void Maximize();
  void Restore();

  UiContext& context_;
  std::unique_ptr<NativeWindow> native_;
  platform::WindowId id_ = 0;
  Window* owner_ = nullptr;
  bool created_ = false;
  bool visible_ = false;
  bool minimized_ = false;
  bool maximized_ = false;
  Rect rect_;
  Rect restoreRect_;
  std::u16string caption_;
  std::uint32_t style_ = 0;
  std::uint32_t exStyle_ = 0;
};

}  // namespace skinui
