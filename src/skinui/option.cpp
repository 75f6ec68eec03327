#include "skinui/option.h"

#include "skinui/attribute_values.h"
#include "skinui/paint_manager.h"
#include "skinui/painter.h"

namespace skinui {

const AttributeTable& Option::Attributes() {
  static const AttributeTable table(
      &Button::Attributes(),
      {
          {"group", On<Option>([](Option& o, std::string_view v) { o.SetGroup(std::string(v)); })},
          {"selected", On<Option>([](Option& o, std::string_view v) { o.Selected(ParseBool(v)); })},
          {"selectedimage",
           On<Option>([](Option& o, std::string_view v) { o.SetSelectedImage(v); })},
          {"selectedtextcolor", On<Option>([](Option& o, std::string_view v) {
             o.SetSelectedTextColor(ParseColor(v));
           })},
          {"selectedbkcolor",
           On<Option>([](Option& o, std::string_view v) { o.SetSelectedBkColor(ParseColor(v)); })},
      });
  return table;
}

void Option::Selected(bool selected) {
  if (selected_ == selected) return;
  selected_ = selected;
  Invalidate();
  if (manager_ == nullptr) return;
  if (!group_.empty()) {
    if (!selected) return;
    for (Option* other : manager_->GetOptionGroup(group_)) {
      if (other != this) other->Selected(false);
    }
  }
  SendNotify("selectchanged");
}

void Option::SetSelectedImage(std::string_view image) {
  selectedImage_ = ParseImageSpec(image);
  selectedText_ = std::string(image);
  Invalidate();
}

bool Option::Activate() {
  const bool before = selected_;
  const bool target = group_.empty() ? !selected_ : true;
  const std::weak_ptr<Control*> alive = AliveToken();
  if (!Button::Activate()) return false;
  if (alive.expired()) return true;  // the click handler removed the option
  // A "click" handler that set the selection itself has the last word.
  if (selected_ == before) Selected(target);
  return true;
}

void Option::PaintStatusImage(Painter& painter) {
  if (selected_) {
    painter.FillRect(pos_, selectedBkColor_);
    if (DrawImage(painter, selectedImage_)) return;
  }
  Button::PaintStatusImage(painter);
}

std::uint32_t Option::StateTextColor() const {
  if (selected_ && selectedTextColor_ != 0 && IsEnabled()) return selectedTextColor_;
  return Button::StateTextColor();
}

}  // namespace skinui
