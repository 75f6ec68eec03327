#pragma once

#include "skinui/label.h"

namespace skinui {

// A one-line text box. It is windowless like every control: typing arrives from the backend
// (a native entry placed over it while it has the focus) or from automation as TypeText, which
// notifies "textchanged"; Enter notifies "return".
class Edit : public Label {
 public:
  Edit();
  std::string_view GetClass() const override { return "EditUI"; }
  const AttributeTable& GetAttributeTable() const override { return Attributes(); }
  static const AttributeTable& Attributes();

  bool IsPasswordMode() const { return password_; }
  void SetPasswordMode(bool password);
  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  int GetMaxChar() const { return maxChar_; }
  void SetMaxChar(int maxChar) { maxChar_ = maxChar; }
  // Replaces the text as the user typing it would (cut to the maximum length); false when
  // the edit is read-only.
  bool TypeText(std::u16string text);
  void SetNormalImage(std::string_view image);
  const std::string& GetNormalImage() const { return normalText_; }

  void DoEvent(UiEvent& event) override;
  bool Activate() override;
  bool IsClickable() const override { return true; }
  bool IsFocusable() const override { return true; }

 protected:
  std::u16string DisplayText() const override;
  void PaintStatusImage(Painter& painter) override;

 private:
  bool password_ = false;
  bool readOnly_ = false;
  int maxChar_ = 255;
  std::string normalText_;
  ImageSpec normal_;
};

}  // namespace skinui
