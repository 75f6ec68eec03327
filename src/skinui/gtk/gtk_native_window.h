#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "skinui/gtk/overlay_host.h"
#include "skinui/notify.h"
#include "skinui/window_backend.h"

namespace skinui::gtk {

class GtkBackend;
class TextEntryOverlay;

// One library window on the desktop: an undecorated GtkWindow whose client area is a drawing
// area the library paints, with native widgets (a text entry while an edit has the focus, web
// views) overlaid at control rectangles. Input becomes the library's window messages; moving
// and resizing follow the window's own non-client hit test; what the system changes (a drag,
// the window manager's minimise, focus) goes back to the library.
class GtkNativeWindow final : public NativeWindow,
                              public OverlayHost,
                              private INotifyUI,
                              private IMessageFilterUI {
 public:
  GtkNativeWindow(GtkBackend& backend, Window& window);
  ~GtkNativeWindow() override;
  GtkNativeWindow(const GtkNativeWindow&) = delete;
  GtkNativeWindow& operator=(const GtkNativeWindow&) = delete;

  void SetCaption(const std::u16string& caption) override;
  void SetBounds(const Rect& screenRect) override;
  void Show(bool visible, bool activate) override;
  void SetMinimized(bool minimized) override;
  void SetTopmost(bool topmost) override;
  void SetRoundCorners(Size corner) override;
  void SetClip(const Rect& clientRect) override;
  void Invalidate(const Rect& clientRect) override;
  void Painted() override {}
  void AnimateSlideIn(int durationMs) override;
  void BeginTextInput(Edit& edit) override;
  void EndTextInput() override;
  std::unique_ptr<WebView> CreateWebView(WebBrowser& browser) override;

  void AddOverlay(GtkWidget* widget, OverlayClient* client) override;
  void PlaceOverlay(GtkWidget* widget, const Rect& clientRect, bool visible) override;
  void RemoveOverlay(GtkWidget* widget) override;

  GtkWidget* Toplevel() const { return toplevel_; }
  // The text entry over the focused edit, or null.
  GtkWidget* TextInputWidget() const;
  bool Sliding() const { return sliding_; }
  // Whether the window is kept off the screen because it needs a compositor that is missing.
  bool SuppressedWithoutCompositor() const { return layered_ && !translucent_; }
  // Writes what the window shows (painting, text entry and web views) as a PNG file.
  bool CaptureToPng(const std::string& path) override;
  // Through the window library's log.
  void Log(const std::string& line) const;

 private:
  void Notify(TNotifyUI& msg) override;
  std::intptr_t MessageHandler(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                               bool& handled) override;

  static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
  static gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
  static gboolean OnButtonRelease(GtkWidget* widget, GdkEventButton* event, gpointer self);
  static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer self);
  static gboolean OnLeave(GtkWidget* widget, GdkEventCrossing* event, gpointer self);
  static gboolean OnScroll(GtkWidget* widget, GdkEventScroll* event, gpointer self);
  static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self);
  static gboolean OnQueryTooltip(GtkWidget* widget, gint x, gint y, gboolean keyboard,
                                 GtkTooltip* tooltip, gpointer self);
  static gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer self);
  static gboolean OnDelete(GtkWidget* widget, GdkEvent* event, gpointer self);
  static gboolean OnFocusIn(GtkWidget* widget, GdkEventFocus* event, gpointer self);
  static gboolean OnFocusOut(GtkWidget* widget, GdkEventFocus* event, gpointer self);
  static gboolean OnWindowState(GtkWidget* widget, GdkEventWindowState* event, gpointer self);
  static void OnRealize(GtkWidget* widget, gpointer self);
  static gboolean OnChildPosition(GtkOverlay* overlay, GtkWidget* child, GdkRectangle* allocation,
                                  gpointer self);
  static gboolean OnSlideTick(GtkWidget* widget, GdkFrameClock* clock, gpointer self);

  void Paint(cairo_t* cr);
  void PressButton(GdkEventButton* event);
  void MoveMouse(Point client);
  void ActivateOnClick();
  void StartResize(GdkWindowEdge edge, GdkEventButton* event);
  void SetCursorForHit(std::intptr_t hit);
  void SystemMovedOrResized(const Rect& rect);
  // Whether the window has the desktop's keyboard focus now.
  bool HasFocus() const;
  void CheckDeactivated();
  void ApplyShape();
  int SlideOffset() const;
  Point ClientPoint(double x, double y) const;
  void RetireTextInput();

  GtkBackend& backend_;
  Window& window_;
  GtkWidget* toplevel_ = nullptr;
  GtkWidget* overlay_ = nullptr;
  GtkWidget* area_ = nullptr;
  struct Overlay {
    Rect rect;
    OverlayClient* client = nullptr;
  };
  std::map<GtkWidget*, Overlay> overlays_;
  std::unique_ptr<TextEntryOverlay> entry_;
  std::vector<std::unique_ptr<TextEntryOverlay>> retired_;
  guint retireSource_ = 0;

  Rect bounds_;  // what the library asked for (size clamped to the screen)
  bool applyingSystemBounds_ = false;
  bool syncingState_ = false;
  bool layered_ = false;
  bool translucent_ = false;
  bool acceptsFocus_ = true;
  bool inputTransparent_ = false;
  Size corner_;
  Rect clip_;  // empty: the whole window
  std::intptr_t cursorHit_ = -1;

  bool sliding_ = false;
  int slideMs_ = 0;
  std::int64_t slideStartUs_ = 0;
  int slideRevealed_ = 0;
  guint slideTick_ = 0;

  bool sizeMoveActive_ = false;
  guint sizeMoveEndSource_ = 0;
  guint deactivateSource_ = 0;
};

}  // namespace skinui::gtk
