#pragma once

#include "skinui/button.h"

namespace skinui {

// A button that stays selected. Options of one group (per window) exclude each other: a click
// selects it and only the newly selected one notifies "selectchanged"; an option without group
// toggles and notifies every change.
class Option : public Button {
 public:
  std::string_view GetClass() const override { return "OptionUI"; }
  const AttributeTable& GetAttributeTable() const override { return Attributes(); }
  static const AttributeTable& Attributes();

  const std::string& GetGroup() const { return group_; }
  void SetGroup(std::string group) { group_ = std::move(group); }
  bool IsSelected() const { return selected_; }
  void Selected(bool selected);
  const std::string& GetSelectedImage() const { return selectedText_; }
  void SetSelectedImage(std::string_view image);
  void SetSelectedTextColor(std::uint32_t argb) { selectedTextColor_ = argb; }
  void SetSelectedBkColor(std::uint32_t argb) { selectedBkColor_ = argb; }
  bool Activate() override;

 protected:
  void PaintStatusImage(Painter& painter) override;
  std::uint32_t StateTextColor() const override;

 private:
  std::string group_;
  bool selected_ = false;
  std::string selectedText_;
  ImageSpec selectedImage_;
  std::uint32_t selectedTextColor_ = 0;
  std::uint32_t selectedBkColor_ = 0;
};

}  // namespace skinui
