#include "skinui/combo.h"

#include "skinui/attribute_values.h"
#include "skinui/color_markup.h"
#include "skinui/paint_manager.h"

namespace skinui {

const AttributeTable& Combo::Attributes() {
  static const AttributeTable table(
      &Container::Attributes(),
      {
          {"normalimage", On<Combo>([](Combo& c, std::string_view v) {
             c.normal_ = ParseImageSpec(v);
             c.normalText_ = std::string(v);
           })},
          {"hotimage", On<Combo>([](Combo& c, std::string_view v) {
             c.hot_ = ParseImageSpec(v);
             c.hotText_ = std::string(v);
           })},
          {"pushedimage", On<Combo>([](Combo& c, std::string_view v) {
             c.pushed_ = ParseImageSpec(v);
             c.pushedText_ = std::string(v);
           })},
          {"disabledimage", On<Combo>([](Combo& c, std::string_view v) {
             c.disabled_ = ParseImageSpec(v);
             c.disabledText_ = std::string(v);
           })},
          {"textpadding",
           On<Combo>([](Combo& c, std::string_view v) { c.textPadding_ = ParseRect(v); })},
          {"textcolor",
           On<Combo>([](Combo& c, std::string_view v) { c.textColor_ = ParseColor(v); })},
          {"font", On<Combo>([](Combo& c, std::string_view v) { c.font_ = ParseInt(v); })},
          {"selectedid",
           On<Combo>([](Combo& c, std::string_view v) { c.selected_ = ParseInt(v); })},
      });
  return table;
}

bool Combo::SelectItem(int index, bool notify) {
  if (index < -1 || index >= GetCount()) return false;
  const int old = selected_;
  selected_ = index;
  Control* item = GetItemAt(index);
  SetText(item != nullptr ? item->GetText() : std::u16string());
  if (notify && old != index) SendNotify("itemselect", static_cast<std::uintptr_t>(index), old);
  return true;
}

bool Combo::IsChildShown(const Control*) const {
  return false;
}

bool Combo::Activate() {
  if (!Control::Activate()) return false;
  SendNotify("dropdown");
  return true;
}

Control* Combo::FindControlAt(Point pt) {
  // The items live in the drop-down, not inside the box.
  return Control::FindControlAt(pt);
}

void Combo::PaintStatusImage(Painter& painter) {
  if (!IsEnabled() && DrawImage(painter, disabled_)) return;
  if (manager_ != nullptr && manager_->GetPushed() == this && DrawImage(painter, pushed_)) return;
  if (manager_ != nullptr && manager_->GetHot() == this && DrawImage(painter, hot_)) return;
  if (!DrawImage(painter, normal_)) {
    painter.FillRect(pos_, 0xFFFFFFFF);
    painter.StrokeRect(pos_, 0xFFB4B4B4, 1);
  }
}

void Combo::PaintText(Painter& painter) {
  const Control* item = GetItemAt(selected_);
  if (item == nullptr) return;
  TextStyle style;
  if (manager_ != nullptr) style.font = manager_->GetFont(font_);
  style.color = textColor_;
  style.flags |= text_flags::kEndEllipsis;
  painter.DrawText(pos_.Deflated(textPadding_), StripColorMarkup(item->GetText()), style);
}

}  // namespace skinui
