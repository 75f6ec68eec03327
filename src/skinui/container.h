#pragma once

#include <memory>
#include <vector>

#include "skinui/control.h"
#include "skinui/layout_arithmetic.h"

namespace skinui {

// A control with children: it owns them, lays them out inside its rectangle less its inset,
// scrolls them vertically when the scroll bar is on, and can show a loading animation over
// itself (VisibleGIF). The base class gives every child the whole inner rectangle; the layouts
// derived from it arrange them.
class Container : public Control {
 public:
  static constexpr int kScrollBarWidth = 8;
  static constexpr int kWheelStep = 30;
  static constexpr std::uintptr_t kGifTimerId = 0x6A1F;

  std::string_view GetClass() const override { return "ContainerUI"; }
  const AttributeTable& GetAttributeTable() const override { return Attributes(); }
  static const AttributeTable& Attributes();

  int GetCount() const { return static_cast<int>(items_.size()); }
  Control* GetItemAt(int index) const;
  int GetItemIndex(const Control* control) const;
  // Adds a child (null is ignored); answers it.
  Control* Add(std::unique_ptr<Control> control);
  Control* AddAt(std::unique_ptr<Control> control, int index);
  // Destroys a child; false when it is not one.
  bool Remove(Control* control);
  void RemoveAll();

  const Rect& GetInset() const { return inset_; }
  void SetInset(const Rect& inset);
  int GetChildPadding() const { return childPadding_; }
  void SetChildPadding(int padding);
  void EnableScrollBar(bool vertical, bool horizontal);
  bool IsVScrollEnabled() const { return vScroll_; }
  bool IsHScrollEnabled() const { return hScroll_; }
  int GetScrollY() const { return scrollY_; }
  void SetScrollY(int offset);
  Size GetContentSize() const { return content_; }
  bool IsScrollBarShown() const { return scrollBarShown_; }
  // Shows or hides the loading animation drawn over the container.
  void VisibleGIF(bool visible);
  bool IsGIFVisible() const { return gifVisible_; }
  int GifFrame() const { return gifFrame_; }

  // Whether a child counts as shown inside this container (tab layouts show one page).
  virtual bool IsChildShown(const Control* child) const;

  void SetPos(const Rect& pos) override;
  void SetManager(PaintManager* manager, Container* parent) override;
  Control* FindControlAt(Point pt) override;
  Control* FindByName(std::string_view name) override;
  void DoEvent(UiEvent& event) override;
  void DoPaint(Painter& painter, const Rect& dirty) override;

 protected:
  // Places the laid-out children inside `area`; the default gives each the whole area less its
  // padding.
  virtual LayoutResult Arrange(const Rect& area, const std::vector<LayoutItem>& items);
  static LayoutItem ItemOf(const Control& control);

 private:
  void LayoutChildren();
  void PaintScrollBar(Painter& painter);
  void PaintLoadingAnimation(Painter& painter);

  std::vector<std::unique_ptr<Control>> items_;
  Rect inset_;
  int childPadding_ = 0;
  bool vScroll_ = false;
  bool hScroll_ = false;
  bool scrollBarShown_ = false;
  int scrollY_ = 0;
  Size content_;
  bool gifVisible_ = false;
  int gifFrame_ = 0;
};

}  // namespace skinui
