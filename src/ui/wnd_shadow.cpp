#include "ui/wnd_shadow.h"

#include <map>

#include "skinui/ui_context.h"
#include "skinui/window_messages.h"

namespace ui {

using namespace skinui;

namespace {

// The process-wide part of shadows: whether they were readied, and which window has which
// shadow. Window thread only.
struct ShadowRegistry {
  bool initialized = false;
  std::map<const Window*, CWndShadow*> shadows;
};

ShadowRegistry& Registry() {
  static ShadowRegistry registry;
  return registry;
}

bool InRange(int value, int low, int high) {
  return value >= low && value <= high;
}

}  // namespace

// The layered window that shows the shadow bitmap; clicks pass through it.
class CWndShadow::Layer final : public Window {
 public:
  explicit Layer(UiContext& context) : Window(context) {}
  ~Layer() override {
    if (IsWindow()) Destroy();
  }
  std::string GetWindowClassName() const override { return "OrvenShadowWnd"; }
  std::uint32_t GetClassStyle() const override { return 3; }

  void SetImage(ShadowImage image) {
    image_ = std::move(image);
    Invalidate();
  }

  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override {
    if (message == WM_PAINT) {
      Paint(reinterpret_cast<cairo_t*>(wParam));
      return 0;
    }
    return DefWindowProc(message, wParam, lParam);
  }

 private:
  void Paint(cairo_t* cr) {
    if (cr == nullptr || image_.pixels.empty()) return;
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, image_.width);
    if (stride != image_.width * 4) return;
    // Cairo's ARGB32 is premultiplied 0xAARRGGBB in native order, as the bitmap is.
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(image_.pixels.data()), CAIRO_FORMAT_ARGB32, image_.width,
        image_.height, stride);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(surface);
  }

  ShadowImage image_;
};

bool CWndShadow::Initialize(UiContext&) {
  ShadowRegistry& registry = Registry();
  if (registry.initialized) return false;
  registry.initialized = true;
  return true;
}

bool CWndShadow::IsInitialized() {
  return Registry().initialized;
}

CWndShadow* CWndShadow::Of(const Window& parent) {
  const auto& shadows = Registry().shadows;
  const auto it = shadows.find(&parent);
  return it == shadows.end() ? nullptr : it->second;
}

CWndShadow::CWndShadow() = default;

CWndShadow::~CWndShadow() {
  if (parent_ != nullptr) Registry().shadows.erase(parent_);
}

Window* CWndShadow::ShadowWindow() const {
  return layer_.get();
}

bool CWndShadow::Create(Window& parent) {
  if (!IsInitialized() || parent_ != nullptr || Of(parent) != nullptr) return false;
  Registry().shadows[&parent] = this;
  parent_ = &parent;
  layer_ = std::make_unique<Layer>(parent.GetContext());
  layer_->Create(&parent, u"", WS_POPUP,
                 WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, 0, 0, 0,
                 0);
  if (!parent.IsVisible()) {
    status_ = kEnabled;
  } else if (parent.IsMaximized() || parent.IsMinimized()) {
    status_ = kEnabled | kParentVisible;
  } else {
    status_ = kEnabled | kVisible | kParentVisible;
    ShowLayer(true);
    Update();
  }
  const Rect rect = parent.GetWindowRect();
  lastSize_ = {rect.Width(), rect.Height()};
  return true;
}

bool CWndShadow::SetSize(int size) {
  if (!InRange(size, -20, 20)) return false;
  look_.size = size;
  if (status_ & kVisible) Update();
  return true;
}

bool CWndShadow::SetSharpness(int sharpness) {
  if (!InRange(sharpness, 0, 20)) return false;
  look_.sharpness = sharpness;
  if (status_ & kVisible) Update();
  return true;
}

bool CWndShadow::SetDarkness(int darkness) {
  if (!InRange(darkness, 0, 255)) return false;
  look_.darkness = darkness;
  if (status_ & kVisible) Update();
  return true;
}

bool CWndShadow::SetPosition(int x, int y) {
  if (!InRange(x, -20, 20) || !InRange(y, -20, 20)) return false;
  look_.xOffset = x;
  look_.yOffset = y;
  if (status_ & kVisible) Update();
  return true;
}

bool CWndShadow::SetColor(std::uint32_t colour) {
  if (colour > 0xFFFFFF) return false;
  look_.colour = colour;
  if (status_ & kVisible) Update();
  return true;
}

void CWndShadow::OnParentMessage(std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
  if (parent_ == nullptr || !layer_) return;
  switch (message) {
    case WM_MOVE:
      if (status_ & kVisible) MoveToParent();
      return;
    case WM_SIZE: {
      if (!(status_ & kEnabled)) return;
      const Size size{PointParamX(lParam) & 0xFFFF, PointParamY(lParam) & 0xFFFF};
      if (wParam == SIZE_MAXIMIZED || wParam == SIZE_MINIMIZED) {
        ShowLayer(false);
        status_ &= ~kVisible;
      } else if (status_ & kParentVisible) {
        // Growing waits for the next paint, so that a live resize does not redraw every step.
        if (size.cx > lastSize_.cx || size.cy > lastSize_.cy) {
          pendingUpdate_ = true;
        } else {
          Update();
        }
        if (!(status_ & kVisible)) {
          ShowLayer(true);
          status_ |= kVisible;
        }
      }
      lastSize_ = size;
      return;
    }
    case WM_PAINT:
      if (pendingUpdate_) {
        Update();
        pendingUpdate_ = false;
      }
      return;
    case WM_EXITSIZEMOVE:
      if (status_ & kVisible) Update();
      return;
    case WM_SHOWWINDOW:
      if (!(status_ & kEnabled)) return;
      if (wParam == 0) {
        ShowLayer(false);
        status_ &= ~(kVisible | kParentVisible);
      } else if (!(status_ & kParentVisible)) {
        pendingUpdate_ = true;
        ShowLayer(true);
        status_ |= kVisible | kParentVisible;
      }
      return;
    case WM_DESTROY:
      layer_.reset();
      return;
    case WM_NCDESTROY:
      Registry().shadows.erase(parent_);
      parent_ = nullptr;
      return;
    default:
      return;
  }
}

void CWndShadow::ShowLayer(bool show) {
  if (layer_) layer_->ShowWindow(show, false);
}

void CWndShadow::MoveToParent() {
  const Rect parent = parent_->GetWindowRect();
  const Rect now = layer_->GetWindowRect();
  const int left = parent.left + look_.xOffset - look_.size;
  const int top = parent.top + look_.yOffset - look_.size;
  layer_->MoveWindow({left, top, left + now.Width(), top + now.Height()});
}

void CWndShadow::Update() {
  if (parent_ == nullptr || !layer_) return;
  const Rect parent = parent_->GetWindowRect();
  const Size size{parent.Width(), parent.Height()};
  const Size corner = parent_->GetPaintManager().GetRoundCorner();
  ShadowImage image = MakeShadow(
      ShapeRows(size, [&](int x, int y) { return InsideRoundedWindow(size, corner, x, y); }),
      size.cx, look_);
  const int left = parent.left + look_.xOffset - look_.size;
  const int top = parent.top + look_.yOffset - look_.size;
  layer_->MoveWindow({left, top, left + image.width, top + image.height});
  layer_->SetImage(std::move(image));
}

}  // namespace ui
