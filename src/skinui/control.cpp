#include "skinui/control.h"

#include "skinui/attribute_values.h"
#include "skinui/container.h"
#include "skinui/paint_manager.h"
#include "skinui/painter.h"
#include "skinui/text_utf.h"

namespace skinui {

Control::Control() : alive_(std::make_shared<Control*>(this)) {}

Control::~Control() {
  if (manager_ != nullptr) manager_->ControlRemoved(this);
}

const AttributeTable& Control::Attributes() {
  static const AttributeTable table(
      nullptr,
      {
          {"name", [](Control& c, std::string_view v) { c.SetName(std::string(v)); }},
          {"text", [](Control& c, std::string_view v) { c.SetText(Utf8ToUtf16(v)); }},
          {"tooltip", [](Control& c, std::string_view v) { c.SetToolTip(Utf8ToUtf16(v)); }},
          {"userdata", [](Control& c, std::string_view v) { c.SetUserData(std::string(v)); }},
          {"visible", [](Control& c, std::string_view v) { c.SetVisible(ParseBool(v)); }},
          {"enabled", [](Control& c, std::string_view v) { c.SetEnabled(ParseBool(v)); }},
          {"mouse", [](Control& c, std::string_view v) { c.SetMouseEnabled(ParseBool(v)); }},
          {"keyboard", [](Control& c, std::string_view v) { c.keyboardEnabled_ = ParseBool(v); }},
          {"pos",
           [](Control& c, std::string_view v) {
             const Rect r = ParseRect(v);
             c.SetFloatPos(r);
             if (r.Width() > 0) c.SetFixedWidth(r.Width());
             if (r.Height() > 0) c.SetFixedHeight(r.Height());
           }},
          {"width", [](Control& c, std::string_view v) { c.SetFixedWidth(ParseInt(v)); }},
          {"height", [](Control& c, std::string_view v) { c.SetFixedHeight(ParseInt(v)); }},
          {"minwidth", [](Control& c, std::string_view v) { c.min_.cx = ParseInt(v); }},
          {"minheight", [](Control& c, std::string_view v) { c.min_.cy = ParseInt(v); }},
          {"maxwidth", [](Control& c, std::string_view v) { c.max_.cx = ParseInt(v); }},
          {"maxheight", [](Control& c, std::string_view v) { c.max_.cy = ParseInt(v); }},
          {"padding", [](Control& c, std::string_view v) { c.SetPadding(ParseRect(v)); }},
          {"float", [](Control& c, std::string_view v) { c.SetFloat(ParseBool(v)); }},
          {"bkcolor", [](Control& c, std::string_view v) { c.SetBkColor(ParseColor(v)); }},
          {"bkimage", [](Control& c, std::string_view v) { c.SetBkImage(v); }},
          {"bordercolor", [](Control& c, std::string_view v) { c.SetBorderColor(ParseColor(v)); }},
          {"bordersize", [](Control& c, std::string_view v) { c.SetBorderSize(ParseInt(v)); }},
      });
  return table;
}

void Control::SetAttribute(std::string_view name, std::string_view value) {
  const AttributeTable::Setter* setter = GetAttributeTable().Find(name);
  if (setter == nullptr) {
    throw AttributeError("unknown attribute '" + std::string(name) + "' of " +
                         std::string(GetClass()));
  }
  try {
    (*setter)(*this, value);
  } catch (const AttributeError& e) {
    throw AttributeError("attribute '" + std::string(name) + "': " + e.what());
  }
}

void Control::SetAttribute(std::string_view name, std::u16string_view value) {
  SetAttribute(name, Utf16ToUtf8(value));
}

void Control::SetText(std::u16string text) {
  if (text_ == text) return;
  text_ = std::move(text);
  Invalidate();
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  const bool hadFocus = IsFocused();
  visible_ = visible;
  if (!visible && hadFocus && manager_ != nullptr) manager_->SetFocus(nullptr);
  NeedUpdate();
}

bool Control::IsShown() const {
  if (!visible_) return false;
  const Control* child = this;
  for (const Container* parent = parent_; parent != nullptr; parent = parent->GetParent()) {
    if (!parent->IsVisible() || !parent->IsChildShown(child)) return false;
    child = parent;
  }
  return true;
}

void Control::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  if (!enabled && IsFocused() && manager_ != nullptr) manager_->SetFocus(nullptr);
  Invalidate();
}

bool Control::IsFocused() const {
  return manager_ != nullptr && manager_->GetFocus() == this;
}

void Control::SetPos(const Rect& pos) {
  pos_ = pos;
  Invalidate();
}

void Control::SetFixedWidth(int width) {
  if (width < 0 || fixed_.cx == width) return;
  fixed_.cx = width;
  NeedUpdate();
}

void Control::SetFixedHeight(int height) {
  if (height < 0 || fixed_.cy == height) return;
  fixed_.cy = height;
  NeedUpdate();
}

void Control::SetPadding(const Rect& padding) {
  padding_ = padding;
  NeedUpdate();
}

void Control::SetFloat(bool isFloat) {
  float_ = isFloat;
  NeedUpdate();
}

void Control::SetFloatPos(const Rect& pos) {
  floatPos_ = pos;
  NeedUpdate();
}

void Control::SetBkColor(std::uint32_t argb) {
  bkColor_ = argb;
  Invalidate();
}

void Control::SetBkImage(std::string_view image) {
  bkImage_ = ParseImageSpec(image);
  bkImageText_ = std::string(image);
  Invalidate();
}

void Control::SetBorderColor(std::uint32_t argb) {
  borderColor_ = argb;
  Invalidate();
}

void Control::SetBorderSize(int size) {
  borderSize_ = std::max(size, 0);
  Invalidate();
}

void Control::SetManager(PaintManager* manager, Container* parent) {
  manager_ = manager;
  parent_ = parent;
}

Control* Control::FindControlAt(Point pt) {
  if (!IsShown() || !pos_.Contains(pt) || !mouseEnabled_) return nullptr;
  return this;
}

Control* Control::FindByName(std::string_view name) {
  return name_ == name ? this : nullptr;
}

void Control::DoEvent(UiEvent& event) {
  if (event.type == UiEvent::Type::SetFocus) {
    SendNotify("setfocus");
  } else if (event.type == UiEvent::Type::KillFocus) {
    SendNotify("killfocus");
  } else if (event.type == UiEvent::Type::Timer) {
    SendNotify("timer", event.wParam);
  } else if (event.type == UiEvent::Type::ScrollWheel && parent_ != nullptr) {
    parent_->DoEvent(event);
  }
}

bool Control::Activate() {
  return IsShown() && IsEnabled();
}

void Control::DoPaint(Painter& painter, const Rect& dirty) {
  if (pos_.Intersect(dirty).IsEmpty()) return;
  PaintBkColor(painter);
  PaintBkImage(painter);
  PaintStatusImage(painter);
  PaintText(painter);
  PaintBorder(painter);
}

void Control::PaintBkColor(Painter& painter) {
  painter.FillRect(pos_, bkColor_);
}

void Control::PaintBkImage(Painter& painter) {
  DrawImage(painter, bkImage_);
}

void Control::PaintStatusImage(Painter&) {}

void Control::PaintText(Painter&) {}

void Control::PaintBorder(Painter& painter) {
  painter.StrokeRect(pos_, borderColor_, borderSize_);
}

bool Control::DrawImage(Painter& painter, const ImageSpec& image) {
  if (image.empty()) return false;
  return painter.DrawImage(pos_, image);
}

void Control::SendNotify(std::string type, std::uintptr_t wParam, std::intptr_t lParam) {
  if (manager_ != nullptr) manager_->SendNotify(this, std::move(type), wParam, lParam);
}

void Control::Invalidate() {
  if (manager_ != nullptr) manager_->Invalidate(pos_);
}

void Control::NeedUpdate() {
  if (manager_ != nullptr) manager_->NeedUpdate();
}

}  // namespace skinui
