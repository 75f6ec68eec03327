#pragma once

#include "skinui/label.h"

namespace skinui {

// A label with state images (normal, hot, pushed, focused, disabled) that notifies "click",
// and "return" for Enter while it has the focus (a window moves the focus along with Enter).
class Button : public Label {
 public:
  Button();
  std::string_view GetClass() const override { return "ButtonUI"; }
  const AttributeTable& GetAttributeTable() const override { return Attributes(); }
  static const AttributeTable& Attributes();

  const std::string& GetNormalImage() const { return normalText_; }
  void SetNormalImage(std::string_view image);
  const std::string& GetHotImage() const { return hotText_; }
  void SetHotImage(std::string_view image);
  const std::string& GetPushedImage() const { return pushedText_; }
  void SetPushedImage(std::string_view image);
  const std::string& GetFocusedImage() const { return focusedText_; }
  void SetFocusedImage(std::string_view image);
  const std::string& GetDisabledImage() const { return disabledText_; }
  void SetDisabledImage(std::string_view image);
  void SetHotTextColor(std::uint32_t argb) { hotTextColor_ = argb; }
  void SetPushedTextColor(std::uint32_t argb) { pushedTextColor_ = argb; }

  bool IsHot() const;
  bool IsPushed() const;
  void DoEvent(UiEvent& event) override;
  bool Activate() override;
  bool IsClickable() const override { return true; }

 protected:
  void PaintStatusImage(Painter& painter) override;
  std::uint32_t StateTextColor() const override;

 private:
  std::string normalText_, hotText_, pushedText_, focusedText_, disabledText_;
  ImageSpec normal_, hot_, pushed_, focused_, disabled_;
  std::uint32_t hotTextColor_ = 0;
  std::uint32_t pushedTextColor_ = 0;
};

}  // namespace skinui
