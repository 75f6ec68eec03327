#include "skinui/progress.h"

#include "skinui/attribute_values.h"
#include "skinui/painter.h"

namespace skinui {

const AttributeTable& Progress::Attributes() {
  static const AttributeTable table(
      &Label::Attributes(),
      {
          {"min",
           On<Progress>([](Progress& p, std::string_view v) { p.SetMinValue(ParseInt(v)); })},
          {"max",
           On<Progress>([](Progress& p, std::string_view v) { p.SetMaxValue(ParseInt(v)); })},
          {"value", On<Progress>([](Progress& p, std::string_view v) { p.SetValue(ParseInt(v)); })},
          {"foreimage", On<Progress>([](Progress& p, std::string_view v) { p.SetForeImage(v); })},
          {"forecolor",
           On<Progress>([](Progress& p, std::string_view v) { p.SetForeColor(ParseColor(v)); })},
          {"hor",
           On<Progress>([](Progress& p, std::string_view v) { p.horizontal_ = ParseBool(v); })},
      });
  return table;
}

void Progress::SetMinValue(int value) {
  min_ = value;
  if (max_ < min_) max_ = min_;
  SetValue(value_);
  Invalidate();
}

void Progress::SetMaxValue(int value) {
  max_ = std::max(value, min_);
  SetValue(value_);
  Invalidate();
}

void Progress::SetValue(int value) {
  value_ = std::clamp(value, min_, max_);
  Invalidate();
}

void Progress::SetForeImage(std::string_view image) {
  fore_ = ParseImageSpec(image);
  foreText_ = std::string(image);
  Invalidate();
}

void Progress::SetForeColor(std::uint32_t argb) {
  foreColor_ = argb;
  Invalidate();
}

Rect Progress::FilledRect() const {
  if (max_ <= min_) return {};
  const double part = static_cast<double>(value_ - min_) / (max_ - min_);
  Rect filled = pos_;
  if (horizontal_) {
    filled.right = pos_.left + static_cast<int>(pos_.Width() * part);
  } else {
    filled.top = pos_.bottom - static_cast<int>(pos_.Height() * part);
  }
  return filled;
}

void Progress::PaintStatusImage(Painter& painter) {
  const Rect filled = FilledRect();
  if (filled.IsEmpty()) return;
  painter.PushClip(filled);
  if (fore_.empty() || !painter.DrawImage(pos_, fore_)) painter.FillRect(pos_, foreColor_);
  painter.PopClip();
}

}  // namespace skinui
