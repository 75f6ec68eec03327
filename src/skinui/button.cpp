#include "skinui/button.h"

#include "skinui/attribute_values.h"
#include "skinui/paint_manager.h"
#include "skinui/window_messages.h"

namespace skinui {

Button::Button() {
  textFlags_ = text_flags::kCenter | text_flags::kVCenter | text_flags::kSingleLine;
}

const AttributeTable& Button::Attributes() {
  static const AttributeTable table(
      &Label::Attributes(),
      {
          {"normalimage", On<Button>([](Button& b, std::string_view v) { b.SetNormalImage(v); })},
          {"hotimage", On<Button>([](Button& b, std::string_view v) { b.SetHotImage(v); })},
          {"pushedimage", On<Button>([](Button& b, std::string_view v) { b.SetPushedImage(v); })},
          {"focusedimage", On<Button>([](Button& b, std::string_view v) { b.SetFocusedImage(v); })},
          {"disabledimage",
           On<Button>([](Button& b, std::string_view v) { b.SetDisabledImage(v); })},
          {"hottextcolor",
           On<Button>([](Button& b, std::string_view v) { b.SetHotTextColor(ParseColor(v)); })},
          {"pushedtextcolor",
           On<Button>([](Button& b, std::string_view v) { b.SetPushedTextColor(ParseColor(v)); })},
      });
  return table;
}

void Button::SetNormalImage(std::string_view image) {
  normal_ = ParseImageSpec(image);
  normalText_ = std::string(image);
  Invalidate();
}

void Button::SetHotImage(std::string_view image) {
  hot_ = ParseImageSpec(image);
  hotText_ = std::string(image);
  Invalidate();
}

void Button::SetPushedImage(std::string_view image) {
  pushed_ = ParseImageSpec(image);
  pushedText_ = std::string(image);
  Invalidate();
}

void Button::SetFocusedImage(std::string_view image) {
  focused_ = ParseImageSpec(image);
  focusedText_ = std::string(image);
  Invalidate();
}

void Button::SetDisabledImage(std::string_view image) {
  disabled_ = ParseImageSpec(image);
  disabledText_ = std::string(image);
  Invalidate();
}

bool Button::IsHot() const {
  return manager_ != nullptr && manager_->GetHot() == this;
}

bool Button::IsPushed() const {
  return manager_ != nullptr && manager_->GetPushed() == this && IsHot();
}

void Button::DoEvent(UiEvent& event) {
  if (event.type == UiEvent::Type::KeyDown && event.wParam == VK_RETURN) {
    if (IsEnabled()) SendNotify("return");
    return;
  }
  Label::DoEvent(event);
}

bool Button::Activate() {
  if (!Control::Activate()) return false;
  SendNotify("click");
  return true;
}

void Button::PaintStatusImage(Painter& painter) {
  // The most specific state that has an image wins; normal is drawn otherwise.
  if (!IsEnabled() && DrawImage(painter, disabled_)) return;
  if (IsEnabled() && IsPushed() && DrawImage(painter, pushed_)) return;
  if (IsEnabled() && IsHot() && DrawImage(painter, hot_)) return;
  if (IsFocused() && DrawImage(painter, focused_)) return;
  DrawImage(painter, normal_);
}

std::uint32_t Button::StateTextColor() const {
  if (IsEnabled() && IsPushed() && pushedTextColor_ != 0) return pushedTextColor_;
  if (IsEnabled() && IsHot() && hotTextColor_ != 0) return hotTextColor_;
  return Label::StateTextColor();
}

}  // namespace skinui
