#include "skinui/label.h"

#include "skinui/attribute_values.h"
#include "skinui/color_markup.h"
#include "skinui/paint_manager.h"

namespace skinui {

const AttributeTable& Label::Attributes() {
  using namespace text_flags;
  static const AttributeTable table(
      &Control::Attributes(),
      {
          {"textcolor",
           On<Label>([](Label& l, std::string_view v) { l.SetTextColor(ParseColor(v)); })},
          {"disabledtextcolor",
           On<Label>([](Label& l, std::string_view v) { l.SetDisabledTextColor(ParseColor(v)); })},
          {"font", On<Label>([](Label& l, std::string_view v) { l.SetFont(ParseInt(v)); })},
          {"align", On<Label>([](Label& l, std::string_view v) {
             l.SetTextFlags(ParseAlign(v, l.GetTextFlags()));
           })},
          {"valign", On<Label>([](Label& l, std::string_view v) {
             l.SetTextFlags(ParseAlign(v, l.GetTextFlags()));
           })},
          {"textpadding",
           On<Label>([](Label& l, std::string_view v) { l.SetTextPadding(ParseRect(v)); })},
          {"endellipsis", On<Label>([](Label& l, std::string_view v) {
             const unsigned f = l.GetTextFlags();
             l.SetTextFlags(ParseBool(v) ? (f | kEndEllipsis) : (f & ~kEndEllipsis));
           })},
          {"multiline", On<Label>([](Label& l, std::string_view v) {
             const unsigned f = l.GetTextFlags();
             l.SetTextFlags(ParseBool(v) ? ((f & ~kSingleLine) | kWordBreak)
                                         : ((f | kSingleLine) & ~kWordBreak));
           })},
          {"showhtml",
           On<Label>([](Label& l, std::string_view v) { l.SetShowHtml(ParseBool(v)); })},
      });
  return table;
}

void Label::SetTextColor(std::uint32_t argb) {
  textColor_ = argb;
  Invalidate();
}

void Label::SetDisabledTextColor(std::uint32_t argb) {
  disabledTextColor_ = argb;
  Invalidate();
}

void Label::SetFont(int index) {
  font_ = index;
  Invalidate();
}

void Label::SetTextFlags(unsigned flags) {
  textFlags_ = flags;
  Invalidate();
}

void Label::SetTextPadding(const Rect& padding) {
  textPadding_ = padding;
  Invalidate();
}

void Label::SetShowHtml(bool show) {
  showHtml_ = show;
  Invalidate();
}

std::u16string Label::GetPlainText() const {
  return showHtml_ ? StripColorMarkup(GetText()) : GetText();
}

std::uint32_t Label::StateTextColor() const {
  return IsEnabled() ? textColor_ : disabledTextColor_;
}

TextStyle Label::MakeTextStyle() const {
  TextStyle style;
  if (manager_ != nullptr) style.font = manager_->GetFont(font_);
  style.color = StateTextColor();
  style.flags = textFlags_;
  style.markup = showHtml_;
  return style;
}

void Label::PaintText(Painter& painter) {
  const std::u16string text = DisplayText();
  if (text.empty()) return;
  painter.DrawText(pos_.Deflated(textPadding_), text, MakeTextStyle());
}

}  // namespace skinui
