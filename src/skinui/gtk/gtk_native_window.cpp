#include "skinui/gtk/gtk_native_window.h"

#include <algorithm>
#include <exception>

#include "skinui/combo.h"
#include "skinui/edit.h"
#include "skinui/gtk/combo_drop_down.h"
#include "skinui/gtk/desktop_display.h"
#include "skinui/gtk/gtk_backend.h"
#include "skinui/gtk/input_translation.h"
#include "skinui/gtk/text_entry_overlay.h"
#include "skinui/gtk/window_shape.h"
#include "skinui/text_utf.h"
#include "skinui/ui_context.h"
#include "skinui/window.h"
#include "skinui/window_messages.h"

namespace skinui::gtk {

namespace {

// Style bits the library does not name but the backend honours.
constexpr std::uint32_t kStyleMaximizeBox = 0x00010000;    // a caption double click maximises
constexpr std::uint32_t kClassStyleDoubleClicks = 0x0008;  // the window wants double clicks

// A user's drag or resize has ended when the window has kept still this long.
constexpr guint kSizeMoveQuietMs = 250;

// No exception may cross GTK's C callbacks: a failing handler is logged and the window goes on.
template <class F>
void Guarded(GtkNativeWindow* self, const char* what, F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    self->Log(std::string(what) + " failed: " + e.what());
  } catch (...) {
    self->Log(std::string(what) + " failed");
  }
}

struct RegionDeleter {
  void operator()(cairo_region_t* region) const { cairo_region_destroy(region); }
};
using Region = std::unique_ptr<cairo_region_t, RegionDeleter>;

Region RegionOf(const std::vector<Rect>& spans) {
  Region region(cairo_region_create());
  for (const Rect& r : spans) {
    const cairo_rectangle_int_t rect{r.left, r.top, r.Width(), r.Height()};
    cairo_region_union_rectangle(region.get(), &rect);
  }
  return region;
}

}  // namespace

GtkNativeWindow::GtkNativeWindow(GtkBackend& backend, Window& window)
    : backend_(backend), window_(window) {
  const std::uint32_t exStyle = window.GetExStyle();
  const bool noActivate = (exStyle & WS_EX_NOACTIVATE) != 0;
  const bool tool = (exStyle & WS_EX_TOOLWINDOW) != 0;
  layered_ = (exStyle & WS_EX_LAYERED) != 0;
  inputTransparent_ = (exStyle & WS_EX_TRANSPARENT) != 0;
  acceptsFocus_ = !noActivate;

  toplevel_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* gtkWindow = GTK_WINDOW(toplevel_);
  gtk_window_set_decorated(gtkWindow, FALSE);
  gtk_widget_set_app_paintable(toplevel_, TRUE);
  if (layered_ && backend.LayeredWindowsAvailable()) {
    gtk_widget_set_visual(toplevel_, gdk_screen_get_rgba_visual(gtk_widget_get_screen(toplevel_)));
    translucent_ = true;
  }
  Window* owner = window.GetOwner();
  gtk_window_set_type_hint(gtkWindow, noActivate ? GDK_WINDOW_TYPE_HINT_NOTIFICATION
                                      : tool     ? GDK_WINDOW_TYPE_HINT_UTILITY
                                      : owner    ? GDK_WINDOW_TYPE_HINT_DIALOG
                                                 : GDK_WINDOW_TYPE_HINT_NORMAL);
  // Owned, tool and notice windows have no taskbar entry of their own.
  const bool ownEntry = !tool && !noActivate && owner == nullptr;
  gtk_window_set_skip_taskbar_hint(gtkWindow, !ownEntry);
  gtk_window_set_skip_pager_hint(gtkWindow, !ownEntry);
  gtk_window_set_accept_focus(gtkWindow, acceptsFocus_);
  gtk_window_set_focus_on_map(gtkWindow, acceptsFocus_);
  gtk_window_set_keep_above(gtkWindow, (exStyle & WS_EX_TOPMOST) != 0);
  if (owner != nullptr) {
    if (auto* ownerNative = dynamic_cast<GtkNativeWindow*>(owner->GetNative())) {
      gtk_window_set_transient_for(gtkWindow, GTK_WINDOW(ownerNative->toplevel_));
    }
  }

  overlay_ = gtk_overlay_new();
  area_ = gtk_drawing_area_new();
  gtk_widget_set_size_request(area_, 1, 1);
  gtk_widget_set_can_focus(area_, TRUE);
  gtk_widget_set_has_tooltip(area_, TRUE);
  gtk_widget_add_events(area_, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK |
                                   GDK_BUTTON_RELEASE_MASK | GDK_SCROLL_MASK |
                                   GDK_SMOOTH_SCROLL_MASK | GDK_LEAVE_NOTIFY_MASK |
                                   GDK_KEY_PRESS_MASK | GDK_FOCUS_CHANGE_MASK);
  gtk_container_add(GTK_CONTAINER(overlay_), area_);
  gtk_container_add(GTK_CONTAINER(toplevel_), overlay_);
  gtk_widget_show(area_);
  gtk_widget_show(overlay_);

  g_signal_connect(area_, "draw", G_CALLBACK(&GtkNativeWindow::OnDraw), this);
  g_signal_connect(area_, "button-press-event", G_CALLBACK(&GtkNativeWindow::OnButtonPress), this);
  g_signal_connect(area_, "button-release-event", G_CALLBACK(&GtkNativeWindow::OnButtonRelease),
                   this);
  g_signal_connect(area_, "motion-notify-event", G_CALLBACK(&GtkNativeWindow::OnMotion), this);
  g_signal_connect(area_, "leave-notify-event", G_CALLBACK(&GtkNativeWindow::OnLeave), this);
  g_signal_connect(area_, "scroll-event", G_CALLBACK(&GtkNativeWindow::OnScroll), this);
  g_signal_connect(area_, "key-press-event", G_CALLBACK(&GtkNativeWindow::OnKeyPress), this);
  g_signal_connect(area_, "query-tooltip", G_CALLBACK(&GtkNativeWindow::OnQueryTooltip), this);
  g_signal_connect(overlay_, "get-child-position", G_CALLBACK(&GtkNativeWindow::OnChildPosition),
                   this);
  g_signal_connect(toplevel_, "configure-event", G_CALLBACK(&GtkNativeWindow::OnConfigure), this);
  g_signal_connect(toplevel_, "delete-event", G_CALLBACK(&GtkNativeWindow::OnDelete), this);
  g_signal_connect(toplevel_, "focus-in-event", G_CALLBACK(&GtkNativeWindow::OnFocusIn), this);
  g_signal_connect(toplevel_, "focus-out-event", G_CALLBACK(&GtkNativeWindow::OnFocusOut), this);
  g_signal_connect(toplevel_, "window-state-event", G_CALLBACK(&GtkNativeWindow::OnWindowState),
                   this);
  g_signal_connect(toplevel_, "realize", G_CALLBACK(&GtkNativeWindow::OnRealize), this);

  window_.GetPaintManager().AddNotifier(this);
  window_.GetPaintManager().AddPreMessageFilter(this);
}

GtkNativeWindow::~GtkNativeWindow() {
  window_.GetPaintManager().RemoveNotifier(this);
  window_.GetPaintManager().RemovePreMessageFilter(this);
  entry_.reset();
  retired_.clear();
  for (guint* source : {&retireSource_, &slideTick_, &sizeMoveEndSource_, &deactivateSource_}) {
    if (*source == 0) continue;
    if (source == &slideTick_) {
      gtk_widget_remove_tick_callback(area_, *source);
    } else {
      g_source_remove(*source);
    }
    *source = 0;
  }
  // The web views go with the window; their controls must not reach for them any more.
  for (auto& [widget, overlay] : overlays_) {
    if (overlay.client != nullptr) overlay.client->HostGone();
  }
  overlays_.clear();
  g_signal_handlers_disconnect_by_data(area_, this);
  g_signal_handlers_disconnect_by_data(overlay_, this);
  g_signal_handlers_disconnect_by_data(toplevel_, this);
  gtk_widget_destroy(toplevel_);
}

void GtkNativeWindow::Log(const std::string& line) const {
  window_.GetContext().Log(line);
}

void GtkNativeWindow::SetCaption(const std::u16string& caption) {
  gtk_window_set_title(GTK_WINDOW(toplevel_), Utf16ToUtf8(caption).c_str());
}

void GtkNativeWindow::SetBounds(const Rect& screenRect) {
  // Nothing on the screen may be larger than the screen.
  const Rect screen = backend_.ScreenRect();
  const int width = std::clamp(screenRect.Width(), 1, std::max(screen.Width(), 1));
  const int height = std::clamp(screenRect.Height(), 1, std::max(screen.Height(), 1));
  const bool resized = width != bounds_.Width() || height != bounds_.Height();
  bounds_ = {screenRect.left, screenRect.top, screenRect.left + width, screenRect.top + height};
  if (applyingSystemBounds_) {
    if (resized) ApplyShape();
    return;
  }
  gtk_window_move(GTK_WINDOW(toplevel_), bounds_.left, bounds_.top);
  gtk_window_resize(GTK_WINDOW(toplevel_), width, height);
  if (resized) ApplyShape();
}

void GtkNativeWindow::Show(bool visible, bool activate) {
  if (!visible) {
    if (sliding_) {
      sliding_ = false;
      if (slideTick_ != 0) gtk_widget_remove_tick_callback(area_, slideTick_);
      slideTick_ = 0;
      ApplyShape();
    }
    gtk_widget_hide(toplevel_);
    return;
  }
  // Without a compositor a layered window would show black where it should be clear.
  if (SuppressedWithoutCompositor()) return;
  const bool takeFocus = activate && acceptsFocus_;
  gtk_window_set_focus_on_map(GTK_WINDOW(toplevel_), takeFocus);
  // Where the user left it, not where it was first put.
  gtk_window_move(GTK_WINDOW(toplevel_), bounds_.left, bounds_.top);
  gtk_widget_show(toplevel_);
  if (takeFocus) DesktopDisplay::Activate(toplevel_);
}

void GtkNativeWindow::SetMinimized(bool minimized) {
  if (syncingState_) return;
  if (minimized) {
    gtk_window_iconify(GTK_WINDOW(toplevel_));
  } else {
    gtk_window_deiconify(GTK_WINDOW(toplevel_));
  }
}

void GtkNativeWindow::SetTopmost(bool topmost) {
  gtk_window_set_keep_above(GTK_WINDOW(toplevel_), topmost);
}

void GtkNativeWindow::SetRoundCorners(Size corner) {
  corner_ = corner;
  ApplyShape();
}

void GtkNativeWindow::SetClip(const Rect& clientRect) {
  clip_ = clientRect;
  ApplyShape();
}

void GtkNativeWindow::ApplyShape() {
  // Applied on realize when the window has no system window yet.
  if (!gtk_widget_get_realized(toplevel_)) return;
  const Size size{bounds_.Width(), bounds_.Height()};
  const bool round = corner_.cx > 0 && corner_.cy > 0;
  Region shape;
  if (!clip_.IsEmpty()) {
    shape = RegionOf({clip_});
  } else if (round || sliding_) {
    // The corners are those of a rectangle one pixel wider and higher than the window.
    std::vector<Rect> spans =
        round ? RoundRectSpans({size.cx + 1, size.cy + 1}, corner_) : std::vector<Rect>{};
    if (!round) spans.push_back({0, 0, size.cx, size.cy});
    shape = RegionOf(spans);
    const cairo_rectangle_int_t window{0, 0, size.cx, size.cy};
    cairo_region_intersect_rectangle(shape.get(), &window);
    if (sliding_) {
      const cairo_rectangle_int_t shown{0, size.cy - slideRevealed_, size.cx, slideRevealed_};
      cairo_region_intersect_rectangle(shape.get(), &shown);
    }
  }
  const Region none(cairo_region_create());
  DesktopDisplay::Shape(toplevel_, shape.get(), inputTransparent_ ? none.get() : shape.get());
}

void GtkNativeWindow::Invalidate(const Rect& clientRect) {
  if (!gtk_widget_get_realized(area_)) return;
  if (sliding_) {
    gtk_widget_queue_draw(area_);
    return;
  }
  const Rect r = clientRect.Intersect({0, 0, bounds_.Width(), bounds_.Height()});
  if (r.IsEmpty()) return;
  gtk_widget_queue_draw_area(area_, r.left, r.top, r.Width(), r.Height());
}

void GtkNativeWindow::AnimateSlideIn(int durationMs) {
  if (SuppressedWithoutCompositor()) return;
  slideMs_ = std::max(durationMs, 0);
  slideStartUs_ = g_get_monotonic_time();
  slideRevealed_ = 0;
  sliding_ = true;
  ApplyShape();
  gtk_widget_queue_draw(area_);
  if (slideTick_ == 0) {
    slideTick_ = gtk_widget_add_tick_callback(area_, &GtkNativeWindow::OnSlideTick, this, nullptr);
  }
}

gboolean GtkNativeWindow::OnSlideTick(GtkWidget*, GdkFrameClock*, gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  const std::int64_t elapsedMs = (g_get_monotonic_time() - native->slideStartUs_) / 1000;
  const int height = native->bounds_.Height();
  const int revealed = SlideInRevealedRows(elapsedMs, native->slideMs_, height);
  if (revealed != native->slideRevealed_) {
    native->slideRevealed_ = revealed;
    if (revealed >= height) native->sliding_ = false;
    native->ApplyShape();
    gtk_widget_queue_draw(native->area_);
  }
  if (native->sliding_) return G_SOURCE_CONTINUE;
  native->slideTick_ = 0;
  return G_SOURCE_REMOVE;
}

int GtkNativeWindow::SlideOffset() const {
  return sliding_ ? bounds_.Height() - slideRevealed_ : 0;
}

Point GtkNativeWindow::ClientPoint(double x, double y) const {
  return {static_cast<int>(x), static_cast<int>(y) - SlideOffset()};
}

// --- Painting -------------------------------------------------------------------------------

gboolean GtkNativeWindow::OnDraw(GtkWidget*, cairo_t* cr, gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  Guarded(native, "painting a window", [&] { native->Paint(cr); });
  return TRUE;
}

void GtkNativeWindow::Paint(cairo_t* cr) {
  cairo_save(cr);
  if (translucent_) {
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 0, 0, 0, 0);
  } else {
    cairo_set_source_rgb(cr, 1, 1, 1);
  }
  cairo_paint(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_translate(cr, 0, SlideOffset());
  window_.SendMessage(WM_PAINT, reinterpret_cast<std::uintptr_t>(cr));
  cairo_restore(cr);
  // The layout may have moved the focused edit.
  if (entry_) entry_->Sync();
  backend_.FramePainted();
}

bool GtkNativeWindow::CaptureToPng(const std::string& path) {
  const int width = gtk_widget_get_allocated_width(overlay_);
  const int height = gtk_widget_get_allocated_height(overlay_);
  if (!gtk_widget_get_realized(overlay_) || width <= 0 || height <= 0) return false;
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height), &cairo_surface_destroy);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return false;
  {
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()),
                                                          &cairo_destroy);
    gtk_widget_draw(overlay_, cr.get());
  }
  cairo_surface_flush(surface.get());
  return cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

gboolean GtkNativeWindow::OnQueryTooltip(GtkWidget*, gint x, gint y, gboolean, GtkTooltip* tooltip,
                                         gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  gboolean shown = FALSE;
  Guarded(native, "tooltip", [&] {
    const Point pt = native->ClientPoint(x, y);
    for (Control* c = native->window_.GetPaintManager().FindControl(pt); c != nullptr;
         c = c->GetParent()) {
      if (c->GetToolTip().empty()) continue;
      gtk_tooltip_set_text(tooltip, Utf16ToUtf8(c->GetToolTip()).c_str());
      const Rect r = c->GetPos();
      const GdkRectangle area{r.left, r.top + native->SlideOffset(), r.Width(), r.Height()};
      gtk_tooltip_set_tip_area(tooltip, &area);
      shown = TRUE;
      return;
    }
  });
  return shown;
}

// --- Mouse ----------------------------------------------------------------------------------

void GtkNativeWindow::ActivateOnClick() {
  if (!acceptsFocus_) return;
  // A click activates the window, also without a window manager doing it.
  if (window_.GetContext().GetActiveWindow() != &window_) {
    window_.GetContext().SetActiveWindow(&window_);
  }
  if (!HasFocus()) DesktopDisplay::Activate(toplevel_);
}

gboolean GtkNativeWindow::OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  if (event->button != GDK_BUTTON_PRIMARY) return FALSE;
  Guarded(native, "mouse press", [&] { native->PressButton(event); });
  return TRUE;
}

void GtkNativeWindow::PressButton(GdkEventButton* event) {
  ActivateOnClick();
  const Point pt = ClientPoint(event->x, event->y);
  const Point screen = window_.ClientToScreen(pt);
  const std::intptr_t hit =
      window_.SendMessage(WM_NCHITTEST, 0, MakePointParam(screen.x, screen.y));
  if (event->type == GDK_2BUTTON_PRESS) {
    if (hit == HTCAPTION && (window_.GetStyle() & kStyleMaximizeBox) != 0) {
      window_.SendMessage(WM_SYSCOMMAND, window_.IsMaximized() ? SC_RESTORE : SC_MAXIMIZE);
    } else if (hit == HTCLIENT && (window_.GetClassStyle() & kClassStyleDoubleClicks) != 0) {
      window_.SendMessage(WM_LBUTTONDBLCLK, 0, MakePointParam(pt.x, pt.y));
    }
    return;
  }
  if (event->type != GDK_BUTTON_PRESS) return;
  if (hit == HTCAPTION) {
    if (window_.IsMaximized()) return;
    sizeMoveActive_ = true;
    gtk_window_begin_move_drag(GTK_WINDOW(toplevel_), static_cast<gint>(event->button),
                               static_cast<gint>(event->x_root), static_cast<gint>(event->y_root),
                               event->time);
    return;
  }
  if (const auto edge = ResizeEdgeForHitTest(hit)) {
    StartResize(*edge, event);
    return;
  }
  // Keyboard input stays with a text entry over a focused edit.
  if (!entry_ || !gtk_widget_has_focus(entry_->widget())) gtk_widget_grab_focus(area_);
  window_.SendMessage(WM_LBUTTONDOWN, 0, MakePointParam(pt.x, pt.y));
}

void GtkNativeWindow::StartResize(GdkWindowEdge edge, GdkEventButton* event) {
  MinMaxInfo info;
  window_.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<std::intptr_t>(&info));
  GdkGeometry hints{};
  hints.min_width = std::max(info.minTrackWidth, 1);
  hints.min_height = std::max(info.minTrackHeight, 1);
  gtk_window_set_geometry_hints(GTK_WINDOW(toplevel_), nullptr, &hints, GDK_HINT_MIN_SIZE);
  sizeMoveActive_ = true;
  gtk_window_begin_resize_drag(GTK_WINDOW(toplevel_), edge, static_cast<gint>(event->button),
                               static_cast<gint>(event->x_root), static_cast<gint>(event->y_root),
                               event->time);
}

gboolean GtkNativeWindow::OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  if (event->button != GDK_BUTTON_PRIMARY) return FALSE;
  Guarded(native, "mouse release", [&] {
    const Point pt = native->ClientPoint(event->x, event->y);
    native->window_.SendMessage(WM_LBUTTONUP, 0, MakePointParam(pt.x, pt.y));
  });
  return TRUE;
}

gboolean GtkNativeWindow::OnMotion(GtkWidget*, GdkEventMotion* event, gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  Guarded(native, "mouse move",
          [&] { native->MoveMouse(native->ClientPoint(event->x, event->y)); });
  return TRUE;
}

void GtkNativeWindow::MoveMouse(Point client) {
  const Point screen = window_.ClientToScreen(client);
  SetCursorForHit(window_.SendMessage(WM_NCHITTEST, 0, MakePointParam(screen.x, screen.y)));
  window_.SendMessage(WM_MOUSEMOVE, 0, MakePointParam(client.x, client.y));
}

void GtkNativeWindow::SetCursorForHit(std::intptr_t hit) {
  const char* name = CursorNameForHitTest(hit);
  const std::intptr_t kind = name != nullptr ? hit : HTCLIENT;
  if (kind == cursorHit_) return;
  cursorHit_ = kind;
  GdkWindow* gdkWindow = gtk_widget_get_window(area_);
  if (gdkWindow == nullptr) return;
  GdkCursor* cursor =
      name != nullptr ? gdk_cursor_new_from_name(gdk_window_get_display(gdkWindow), name) : nullptr;
  gdk_window_set_cursor(gdkWindow, cursor);
  if (cursor != nullptr) g_object_unref(cursor);
}

gboolean GtkNativeWindow::OnLeave(GtkWidget*, GdkEventCrossing* event, gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  if (event->mode != GDK_CROSSING_NORMAL) return FALSE;
  // The library knows no leave message: a move to a point outside every control clears the
  // hot state.
  Guarded(native, "mouse leave",
          [&] { native->window_.SendMessage(WM_MOUSEMOVE, 0, MakePointParam(-1, -1)); });
  return FALSE;
}

gboolean GtkNativeWindow::OnScroll(GtkWidget*, GdkEventScroll* event, gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  const int delta = WheelDeltaFromScroll(event->direction, event->delta_y);
  if (delta == 0) return TRUE;
  Guarded(native, "mouse wheel", [&] {
    const Point screen = native->window_.ClientToScreen(native->ClientPoint(event->x, event->y));
    const auto wParam = static_cast<std::uintptr_t>(static_cast<std::uint16_t>(delta)) << 16;
    native->window_.SendMessage(WM_MOUSEWHEEL, wParam, MakePointParam(screen.x, screen.y));
  });
  return TRUE;
}

// --- Keyboard -------------------------------------------------------------------------------

gboolean GtkNativeWindow::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  gboolean handled = FALSE;
  Guarded(native, "key press", [&] {
    Window& window = native->window_;
    const bool shift = (event->state & GDK_SHIFT_MASK) != 0;
    if (event->keyval == GDK_KEY_ISO_Left_Tab || (event->keyval == GDK_KEY_Tab && shift)) {
      window.GetPaintManager().SetNextTabControl(false);
      handled = TRUE;
      return;
    }
    const std::uintptr_t vk = VirtualKeyFromKeyval(event->keyval);
    if (vk != 0) {
      window.SendMessage(WM_KEYDOWN, vk);
      if (vk == 0x70) window.SendMessage(WM_HELP);  // F1
      handled = TRUE;
    }
    if ((event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) != 0) return;
    const gunichar c = gdk_keyval_to_unicode(event->keyval);
    if (event->keyval == GDK_KEY_BackSpace) {
      window.SendMessage(WM_CHAR, 0x08);
      handled = TRUE;
    } else if (c >= 0x20 && c != 0x7F) {
      char utf8[8] = {};
      g_unichar_to_utf8(c, utf8);
      for (const char16_t unit : Utf8ToUtf16(utf8)) window.SendMessage(WM_CHAR, unit);
      handled = TRUE;
    }
  });
  return handled;
}

// --- The system's changes -------------------------------------------------------------------

gboolean GtkNativeWindow::OnConfigure(GtkWidget*, GdkEventConfigure* event, gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  Guarded(native, "window moved", [&] {
    native->SystemMovedOrResized(
        {event->x, event->y, event->x + event->width, event->y + event->height});
  });
  return FALSE;
}

void GtkNativeWindow::SystemMovedOrResized(const Rect& rect) {
  if (sizeMoveActive_) {
    if (sizeMoveEndSource_ != 0) g_source_remove(sizeMoveEndSource_);
    sizeMoveEndSource_ = g_timeout_add(
        kSizeMoveQuietMs,
        [](gpointer self) -> gboolean {
          auto* native = static_cast<GtkNativeWindow*>(self);
          native->sizeMoveEndSource_ = 0;
          native->sizeMoveActive_ = false;
          Guarded(native, "end of move", [&] { native->window_.SendMessage(WM_EXITSIZEMOVE); });
          return G_SOURCE_REMOVE;
        },
        this);
  }
  if (window_.IsMinimized() || rect == window_.GetWindowRect()) return;
  // The library takes the system's rectangle without sending it back.
  applyingSystemBounds_ = true;
  try {
    window_.MoveWindow(rect);
  } catch (...) {
    applyingSystemBounds_ = false;
    throw;
  }
  applyingSystemBounds_ = false;
}

gboolean GtkNativeWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  // Closing from the desktop (Alt+F4, the task bar) is the system close command.
  Guarded(native, "close", [&] { native->window_.SendMessage(WM_SYSCOMMAND, SC_CLOSE); });
  return TRUE;
}

gboolean GtkNativeWindow::OnFocusIn(GtkWidget*, GdkEventFocus*, gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  // The program may have moved the focus on since the event was sent: such an event is old news.
  if (DesktopDisplay::FocusedNow(native->toplevel_) == false) return FALSE;
  Guarded(native, "focus in", [&] {
    UiContext& context = native->window_.GetContext();
    if (context.GetActiveWindow() != &native->window_ && native->window_.IsVisible()) {
      context.SetActiveWindow(&native->window_);
    }
  });
  return FALSE;
}

gboolean GtkNativeWindow::OnFocusOut(GtkWidget*, GdkEventFocus*, gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  // Focus may be moving to another window of the program: decide once the desktop has settled.
  if (native->deactivateSource_ == 0) {
    native->deactivateSource_ = g_idle_add(
        [](gpointer self) -> gboolean {
          auto* native = static_cast<GtkNativeWindow*>(self);
          native->deactivateSource_ = 0;
          Guarded(native, "focus out", [&] { native->CheckDeactivated(); });
          return G_SOURCE_REMOVE;
        },
        native);
  }
  return FALSE;
}

bool GtkNativeWindow::HasFocus() const {
  // GTK's own flag follows the focus events, which may be behind the program's requests.
  return DesktopDisplay::FocusedNow(toplevel_).value_or(
      gtk_window_has_toplevel_focus(GTK_WINDOW(toplevel_)));
}

void GtkNativeWindow::CheckDeactivated() {
  UiContext& context = window_.GetContext();
  if (context.GetActiveWindow() != &window_) return;
  if (HasFocus()) return;
  for (Window* other : context.Windows()) {
    auto* native = dynamic_cast<GtkNativeWindow*>(other->GetNative());
    if (native != nullptr && gtk_widget_get_mapped(native->toplevel_) && native->HasFocus()) {
      return;
    }
  }
  // Another program has the keyboard now.
  context.SetActiveWindow(nullptr);
}

gboolean GtkNativeWindow::OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  if ((event->changed_mask & GDK_WINDOW_STATE_ICONIFIED) == 0) return FALSE;
  Guarded(native, "window state", [&] {
    const bool iconified = (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
    if (iconified == native->window_.IsMinimized()) return;
    native->syncingState_ = true;
    native->window_.SendMessage(WM_SYSCOMMAND, iconified ? SC_MINIMIZE : SC_RESTORE);
    native->syncingState_ = false;
  });
  return FALSE;
}

void GtkNativeWindow::OnRealize(GtkWidget*, gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  native->ApplyShape();
}

std::intptr_t GtkNativeWindow::MessageHandler(std::uint32_t message, std::uintptr_t wParam,
                                              std::intptr_t, bool& handled) {
  handled = false;
  // The library activated the window itself (a shown dialog, the previous window after one
  // closed): the desktop's keyboard focus follows.
  if (message == WM_ACTIVATE && wParam != 0 && acceptsFocus_ && gtk_widget_get_visible(toplevel_) &&
      !HasFocus()) {
    DesktopDisplay::Activate(toplevel_);
  }
  return 0;
}

void GtkNativeWindow::Notify(TNotifyUI& msg) {
  if (msg.sType != "dropdown") return;
  if (auto* combo = dynamic_cast<Combo*>(msg.pSender)) ComboDropDown::Open(*combo);
}

// --- Overlaid widgets -----------------------------------------------------------------------

void GtkNativeWindow::AddOverlay(GtkWidget* widget, OverlayClient* client) {
  overlays_[widget] = {Rect{}, client};
  gtk_widget_set_no_show_all(widget, TRUE);
  gtk_overlay_add_overlay(GTK_OVERLAY(overlay_), widget);
  gtk_widget_hide(widget);
}

void GtkNativeWindow::PlaceOverlay(GtkWidget* widget, const Rect& clientRect, bool visible) {
  const auto it = overlays_.find(widget);
  if (it == overlays_.end()) return;
  const bool moved = it->second.rect != clientRect;
  it->second.rect = clientRect;
  const bool show = visible && !clientRect.IsEmpty();
  if (show != static_cast<bool>(gtk_widget_get_visible(widget))) {
    gtk_widget_set_visible(widget, show);
  } else if (moved && show) {
    gtk_widget_queue_resize(widget);
  }
}

void GtkNativeWindow::RemoveOverlay(GtkWidget* widget) {
  if (overlays_.erase(widget) == 0) return;
  gtk_widget_destroy(widget);
}

gboolean GtkNativeWindow::OnChildPosition(GtkOverlay*, GtkWidget* child, GdkRectangle* allocation,
                                          gpointer self) {
  auto* native = static_cast<GtkNativeWindow*>(self);
  const auto it = native->overlays_.find(child);
  if (it == native->overlays_.end()) return FALSE;
  const Rect& r = it->second.rect;
  *allocation = {r.left, r.top + native->SlideOffset(), std::max(r.Width(), 1),
                 std::max(r.Height(), 1)};
  return TRUE;
}

void GtkNativeWindow::BeginTextInput(Edit& edit) {
  RetireTextInput();
  entry_ = std::make_unique<TextEntryOverlay>(*this, window_, edit);
  entry_->Sync();
  entry_->Focus();
}

void GtkNativeWindow::EndTextInput() {
  const bool hadFocus = entry_ && gtk_widget_has_focus(entry_->widget());
  RetireTextInput();
  if (hadFocus) gtk_widget_grab_focus(area_);
}

void GtkNativeWindow::RetireTextInput() {
  if (!entry_) return;
  // The entry may be inside one of its own signals (a change whose handler moved the focus):
  // it is taken off the window now and freed once that signal has returned.
  entry_->Close();
  retired_.push_back(std::move(entry_));
  if (retireSource_ == 0) {
    retireSource_ = g_idle_add(
        [](gpointer self) -> gboolean {
          auto* native = static_cast<GtkNativeWindow*>(self);
          native->retireSource_ = 0;
          native->retired_.clear();
          return G_SOURCE_REMOVE;
        },
        this);
  }
}

GtkWidget* GtkNativeWindow::TextInputWidget() const {
  return entry_ ? entry_->widget() : nullptr;
}

std::unique_ptr<WebView> GtkNativeWindow::CreateWebView(WebBrowser& browser) {
  return backend_.Web().CreateView(*this, browser);
}

}  // namespace skinui::gtk
