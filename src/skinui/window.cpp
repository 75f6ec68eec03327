#include "skinui/window.h"

#include <exception>

#include "skinui/builder.h"
#include "skinui/edit.h"
#include "skinui/ui_context.h"
#include "skinui/vertical_layout.h"
#include "skinui/window_messages.h"

namespace skinui {

Window::Window(UiContext& context) : context_(context) {
  paintManager_.Init(this);
}

Window::~Window() {
  // Controls tell the window when they go: let them go while the window is whole.
  paintManager_.AttachDialog(nullptr);
  if (!created_) return;
  // The derived window is gone already: no more messages, only the bookkeeping.
  created_ = false;
  context_.Loop().removeTarget(id_);
  context_.UnregisterWindow(this);
}

bool Window::Create(Window* owner, std::u16string caption, std::uint32_t style,
                    std::uint32_t exStyle, int x, int y, int cx, int cy) {
  if (created_) return false;
  owner_ = owner;
  caption_ = std::move(caption);
  style_ = style;
  exStyle_ = exStyle;
  rect_ = {x == kUseDefault ? 0 : x, y == kUseDefault ? 0 : y, 0, 0};
  rect_.right = rect_.left + (cx == kUseDefault ? 0 : std::max(cx, 0));
  rect_.bottom = rect_.top + (cy == kUseDefault ? 0 : std::max(cy, 0));
  id_ = context_.Loop().addTarget(*this);
  native_ = context_.Backend().CreateNativeWindow(*this);
  native_->SetCaption(caption_);
  native_->SetBounds(rect_);
  created_ = true;
  context_.RegisterWindow(this);
  if (SendMessage(WM_CREATE) == -1) {
    Destroy();
    return false;
  }
  if (!created_) return false;
  if (exStyle_ & WS_EX_TOPMOST) native_->SetTopmost(true);
  if (style_ & WS_VISIBLE) {
    visible_ = false;
    ShowWindow(true, (exStyle_ & WS_EX_NOACTIVATE) == 0);
  }
  return true;
}

void Window::ShowWindow(bool show, bool takeFocus) {
  if (!created_) return;
  if (show) {
    if (!visible_) {
      visible_ = true;
      style_ |= WS_VISIBLE;
      const bool activate = takeFocus && (exStyle_ & WS_EX_NOACTIVATE) == 0;
      native_->Show(true, activate);
      SendMessage(WM_SHOWWINDOW, 1);
      paintManager_.NeedUpdate();
    }
    if (takeFocus && (exStyle_ & WS_EX_NOACTIVATE) == 0) context_.SetActiveWindow(this);
  } else if (visible_) {
    visible_ = false;
    style_ &= ~WS_VISIBLE;
    native_->Show(false, false);
    SendMessage(WM_SHOWWINDOW, 0);
    if (context_.GetActiveWindow() == this) context_.ActivatePrevious(this);
  }
}

void Window::AnimateSlideIn(int durationMs) {
  if (!created_) return;
  ShowWindow(true, false);
  native_->AnimateSlideIn(durationMs);
}

void Window::Close() {
  if (created_) SendMessage(WM_CLOSE);
}

void Window::Destroy() {
  if (!created_) return;
  SendMessage(WM_DESTROY);
  if (visible_) {
    visible_ = false;
    native_->Show(false, false);
  }
  if (context_.GetActiveWindow() == this) context_.ActivatePrevious(this);
  SendMessage(WM_NCDESTROY);
  created_ = false;
  context_.Loop().removeTarget(id_);
  context_.UnregisterWindow(this);
  native_.reset();
  OnFinalMessage();
  context_.WindowFinished(this);
}

void Window::CenterWindow() {
  const Rect area = context_.Backend().WorkArea();
  const int w = rect_.Width();
  const int h = rect_.Height();
  const int l = area.left + (area.Width() - w) / 2;
  const int t = area.top + (area.Height() - h) / 2;
  MoveWindow({l, t, l + w, t + h});
}

void Window::MoveWindow(const Rect& screenRect) {
  SetBounds(screenRect, maximized_ ? SIZE_MAXIMIZED : SIZE_RESTORED);
}

void Window::ResizeClient(int cx, int cy) {
  MoveWindow({rect_.left, rect_.top, rect_.left + std::max(cx, 0), rect_.top + std::max(cy, 0)});
}

void Window::SetTopmost(bool topmost) {
  if (topmost) {
    exStyle_ |= WS_EX_TOPMOST;
  } else {
    exStyle_ &= ~WS_EX_TOPMOST;
  }
  if (native_) native_->SetTopmost(topmost);
}

void Window::SetBounds(const Rect& rect, std::uintptr_t sizeKind) {
  if (!created_) return;
  const Rect old = rect_;
  rect_ = rect;
  native_->SetBounds(rect_);
  if (old.left != rect_.left || old.top != rect_.top) {
    SendMessage(WM_MOVE, 0, MakePointParam(rect_.left, rect_.top));
  }
  if (old.Width() != rect_.Width() || old.Height() != rect_.Height() || sizeKind != SIZE_RESTORED) {
    SendMessage(WM_SIZE, sizeKind, MakePointParam(rect_.Width(), rect_.Height()));
  }
}

void Window::SetCaption(std::u16string caption) {
  caption_ = std::move(caption);
  if (native_) native_->SetCaption(caption_);
}

bool Window::IsActive() const {
  return context_.GetActiveWindow() == this;
}

std::intptr_t Window::SendMessage(std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
  return Dispatch(message, wParam, lParam);
}

void Window::PostMessage(std::uint32_t message, std::uintptr_t wParam, platform::Payload payload) {
  context_.Loop().post(id_, message, std::move(payload), wParam);
}

void Window::SetTimer(std::uint32_t id, std::int64_t elapseMs) {
  if (created_) context_.Loop().setTimer(id_, id, elapseMs);
}

void Window::KillTimer(std::uint32_t id) {
  if (created_) context_.Loop().killTimer(id_, id);
}

std::intptr_t Window::Dispatch(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  std::intptr_t result = 0;
  if (paintManager_.PreMessageHandler(message, wParam, lParam, result)) return result;
  return HandleMessage(message, wParam, lParam);
}

void Window::onMessage(platform::Message& message) {
  const std::intptr_t lParam =
      message.payload.empty() ? 0 : reinterpret_cast<std::intptr_t>(&message.payload);
  Dispatch(message.message, message.wParam, lParam);
  if (message.message == WM_PAINT && native_) native_->Painted();
}

std::intptr_t Window::HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) {
  std::intptr_t result = 0;
  if (paintManager_.MessageHandler(message, wParam, lParam, result)) return result;
  return DefWindowProc(message, wParam, lParam);
}

std::intptr_t Window::DefWindowProc(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) {
  switch (message) {
    case WM_CLOSE:
      Destroy();
      return 0;
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MinMaxInfo*>(lParam);
      if (info != nullptr) {
        const Rect area = context_.Backend().WorkArea();
        info->maxX = area.left;
        info->maxY = area.top;
        info->maxWidth = area.Width();
        info->maxHeight = area.Height();
        const Size min = paintManager_.GetMinInfo();
        info->minTrackWidth = min.cx;
        info->minTrackHeight = min.cy;
      }
      return 0;
    }
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
          if (!minimized_) {
            minimized_ = true;
            if (native_) native_->SetMinimized(true);
            SendMessage(WM_SIZE, SIZE_MINIMIZED, MakePointParam(rect_.Width(), rect_.Height()));
          }
          return 0;
        case SC_MAXIMIZE:
          Maximize();
          return 0;
        case SC_RESTORE:
          Restore();
          return 0;
        case SC_CLOSE:
          SendMessage(WM_CLOSE);
          return 0;
        default:
          return 0;
      }
    default:
      return 0;
  }
}

void Window::Maximize() {
  if (maximized_) return;
  MinMaxInfo info;
  SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<std::intptr_t>(&info));
  restoreRect_ = rect_;
  maximized_ = true;
  minimized_ = false;
  SetBounds({info.maxX, info.maxY, info.maxX + info.maxWidth, info.maxY + info.maxHeight},
            SIZE_MAXIMIZED);
}

void Window::Restore() {
  if (minimized_) {
    minimized_ = false;
    if (native_) native_->SetMinimized(false);
    SendMessage(WM_SIZE, maximized_ ? SIZE_MAXIMIZED : SIZE_RESTORED,
                MakePointParam(rect_.Width(), rect_.Height()));
    return;
  }
  if (!maximized_) return;
  maximized_ = false;
  SetBounds(restoreRect_, SIZE_RESTORED);
}

void Window::Invalidate() {
  Invalidate(GetClientRect());
}

void Window::Invalidate(const Rect& rect) {
  if (created_ && visible_ && native_) native_->Invalidate(rect);
}

void Window::PaintTo(cairo_t* cr) {
  cairo_save(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_restore(cr);
  paintManager_.Paint(cr, GetClientRect());
}

void Window::ApplyRoundCorners(std::uintptr_t sizeKind) {
  if (sizeKind != SIZE_MINIMIZED && GetNative() != nullptr) {
    GetNative()->SetRoundCorners(paintManager_.GetRoundCorner());
  }
}

bool Window::AttachLayout(const std::string& file,
                          const std::function<void(const std::string&)>& log) {
  const std::function<void(const std::string&)> logLine =
      log ? log : [this](const std::string& line) { GetContext().Log(line); };
  BuildOptions options;
  options.resourceDir = GetContext().ResourcePath();
  options.manager = &paintManager_;
  options.log = logLine;
  try {
    paintManager_.AttachDialog(Builder(options).Create(file));
    return true;
  } catch (const std::exception& e) {
    logLine("无法加载界面布局 " + file + ": " + e.what());
    auto root = std::make_unique<VerticalLayout>();
    root->SetName("Root");
    paintManager_.AttachDialog(std::move(root));
    return false;
  }
}

bool Window::Screenshot(const std::string& path) {
  // What is on screen first: web views and text entries are not painted by the library.
  if (GetNative() != nullptr && IsVisible() && GetNative()->CaptureToPng(path)) return true;
  const Rect client = GetClientRect();
  if (client.IsEmpty()) return false;
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, client.Width(), client.Height()),
      &cairo_surface_destroy);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return false;
  {
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()),
                                                          &cairo_destroy);
    PaintTo(cr.get());
  }
  cairo_surface_flush(surface.get());
  return cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

void Window::FocusChanged(Control* from, Control* to) {
  if (!native_) return;
  if (dynamic_cast<Edit*>(from) != nullptr) native_->EndTextInput();
  if (auto* edit = dynamic_cast<Edit*>(to)) native_->BeginTextInput(*edit);
}

}  // namespace skinui
