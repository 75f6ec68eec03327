#pragma once

#include "skinui/control.h"
#include "skinui/painter.h"

namespace skinui {

// One line of text (or several with "multiline"), with font, colour, alignment, padding and
// end ellipsis. With "showhtml" the text may hold "<c #RRGGBB>…</c>" colour markup.
class Label : public Control {
 public:
  std::string_view GetClass() const override { return "LabelUI"; }
  const AttributeTable& GetAttributeTable() const override { return Attributes(); }
  static const AttributeTable& Attributes();

  std::uint32_t GetTextColor() const { return textColor_; }
  void SetTextColor(std::uint32_t argb);
  void SetDisabledTextColor(std::uint32_t argb);
  int GetFont() const { return font_; }
  void SetFont(int index);
  unsigned GetTextFlags() const { return textFlags_; }
  void SetTextFlags(unsigned flags);
  const Rect& GetTextPadding() const { return textPadding_; }
  void SetTextPadding(const Rect& padding);
  bool IsShowHtml() const { return showHtml_; }
  void SetShowHtml(bool show);
  // The text as drawn, without colour tags when markup is on.
  std::u16string GetPlainText() const;

 protected:
  void PaintText(Painter& painter) override;
  // The colour the current state draws the text in.
  virtual std::uint32_t StateTextColor() const;
  TextStyle MakeTextStyle() const;
  // What is drawn (edits show bullets for a password).
  virtual std::u16string DisplayText() const { return GetText(); }

  bool showHtml_ = false;
  unsigned textFlags_ = text_flags::kLeft | text_flags::kVCenter | text_flags::kSingleLine;

 private:
  std::uint32_t textColor_ = 0xFF000000;
  std::uint32_t disabledTextColor_ = 0xFFA7A6AA;
  int font_ = -1;
  Rect textPadding_;
};

}  // namespace skinui
