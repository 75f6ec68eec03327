#pragma once

#include "platform/message_loop.h"
#include "skinui/window_backend.h"

namespace skinui {

// Windows without a display: geometry and state only, layout and painting on request (the
// automation's screenshot), web views that probe their URL with a real request.
class HeadlessBackend final : public WindowBackend {
 public:
  explicit HeadlessBackend(platform::MessageLoop& loop, Rect screen = {0, 0, 1920, 1080},
                           Rect workArea = {0, 0, 1920, 1040});

  std::unique_ptr<NativeWindow> CreateNativeWindow(Window& window) override;
  Rect ScreenRect() const override { return screen_; }
  Rect WorkArea() const override { return workArea_; }

 private:
  platform::MessageLoop& loop_;
  Rect screen_;
  Rect workArea_;
};

// The headless side of a window, open to tests.
class HeadlessNativeWindow final : public NativeWindow {
 public:
  HeadlessNativeWindow(platform::MessageLoop& loop, Window& window);

  void SetCaption(const std::u16string&) override {}
  void SetBounds(const Rect& screenRect) override { bounds_ = screenRect; }
  void Show(bool visible, bool) override { shown_ = visible; }
  void SetMinimized(bool) override {}
  void SetTopmost(bool topmost) override { topmost_ = topmost; }
  void SetRoundCorners(Size corner) override { corner_ = corner; }
  void Invalidate(const Rect& clientRect) override;
  void Painted() override { paintPending_ = false; }
  void AnimateSlideIn(int durationMs) override { lastSlideInMs_ = durationMs; }
  void BeginTextInput(Edit& edit) override { editing_ = &edit; }
  void EndTextInput() override { editing_ = nullptr; }
  std::unique_ptr<WebView> CreateWebView(WebBrowser& browser) override;

  bool topmost() const { return topmost_; }
  int lastSlideInMs() const { return lastSlideInMs_; }
  const Edit* editing() const { return editing_; }
  Size roundCorners() const { return corner_; }

 private:
  platform::MessageLoop& loop_;
  Window& window_;
  Rect bounds_;
  bool shown_ = false;
  bool topmost_ = false;
  bool paintPending_ = false;
  int lastSlideInMs_ = 0;
  Size corner_;
  Edit* editing_ = nullptr;
};

}  // namespace skinui
