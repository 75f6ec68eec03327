#pragma once

#include "skinui/label.h"

namespace skinui {

// A progress bar: the fore image (or colour) drawn over the part value/(max − min).
class Progress : public Label {
 public:
  std::string_view GetClass() const override { return "ProgressUI"; }
  const AttributeTable& GetAttributeTable() const override { return Attributes(); }
  static const AttributeTable& Attributes();

  int GetMinValue() const { return min_; }
  void SetMinValue(int value);
  int GetMaxValue() const { return max_; }
  void SetMaxValue(int value);
  int GetValue() const { return value_; }
  // Kept inside [min, max].
  void SetValue(int value);
  const std::string& GetForeImage() const { return foreText_; }
  void SetForeImage(std::string_view image);
  void SetForeColor(std::uint32_t argb);
  bool IsHorizontal() const { return horizontal_; }
  // The part of the bar that is filled, in pixels of its rectangle.
  Rect FilledRect() const;

 protected:
  void PaintStatusImage(Painter& painter) override;

 private:
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
  bool horizontal_ = true;
  std::string foreText_;
  ImageSpec fore_;
  std::uint32_t foreColor_ = 0xFF3C8CDC;
};

}  // namespace skinui
