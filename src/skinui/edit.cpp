#include "skinui/edit.h"

#include "skinui/attribute_values.h"
#include "skinui/paint_manager.h"
#include "skinui/painter.h"
#include "skinui/window_messages.h"

namespace skinui {

Edit::Edit() {
  SetMouseEnabled(true);
}

const AttributeTable& Edit::Attributes() {
  static const AttributeTable table(
      &Label::Attributes(),
      {
          {"password",
           On<Edit>([](Edit& e, std::string_view v) { e.SetPasswordMode(ParseBool(v)); })},
          {"readonly", On<Edit>([](Edit& e, std::string_view v) { e.SetReadOnly(ParseBool(v)); })},
          {"maxchar", On<Edit>([](Edit& e, std::string_view v) { e.SetMaxChar(ParseInt(v)); })},
          {"normalimage", On<Edit>([](Edit& e, std::string_view v) { e.SetNormalImage(v); })},
      });
  return table;
}

void Edit::SetPasswordMode(bool password) {
  password_ = password;
  Invalidate();
}

void Edit::SetNormalImage(std::string_view image) {
  normal_ = ParseImageSpec(image);
  normalText_ = std::string(image);
  Invalidate();
}

bool Edit::TypeText(std::u16string text) {
  if (readOnly_ || !IsEnabled()) return false;
  if (maxChar_ > 0 && text.size() > static_cast<std::size_t>(maxChar_)) text.resize(maxChar_);
  if (text == GetText()) return true;
  SetText(std::move(text));
  SendNotify("textchanged");
  return true;
}

void Edit::DoEvent(UiEvent& event) {
  if (event.type == UiEvent::Type::KeyDown && event.wParam == VK_RETURN) {
    SendNotify("return");
    return;
  }
  if (event.type == UiEvent::Type::Char && !readOnly_ && IsEnabled()) {
    const auto unit = static_cast<char16_t>(event.wParam);
    if (unit == 0x08) {
      std::u16string text = GetText();
      if (!text.empty()) text.pop_back();
      TypeText(std::move(text));
    } else if (unit >= 0x20) {
      TypeText(GetText() + unit);
    }
    return;
  }
  Label::DoEvent(event);
}

bool Edit::Activate() {
  if (!Control::Activate()) return false;
  if (manager_ != nullptr) manager_->SetFocus(this);
  return true;
}

std::u16string Edit::DisplayText() const {
  if (!password_) return GetText();
  return std::u16string(GetText().size(), u'\u25CF');
}

void Edit::PaintStatusImage(Painter& painter) {
  DrawImage(painter, normal_);
}

}  // namespace skinui
