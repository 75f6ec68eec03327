#include "skinui/container.h"

#include <cmath>

#include "skinui/attribute_values.h"
#include "skinui/paint_manager.h"
#include "skinui/painter.h"

namespace skinui {

const AttributeTable& Container::Attributes() {
  static const AttributeTable table(
      &Control::Attributes(),
      {
          {"inset",
           On<Container>([](Container& c, std::string_view v) { c.SetInset(ParseRect(v)); })},
          {"childpadding",
           On<Container>([](Container& c, std::string_view v) { c.SetChildPadding(ParseInt(v)); })},
          {"vscrollbar", On<Container>([](Container& c, std::string_view v) {
             c.EnableScrollBar(ParseBool(v), c.IsHScrollEnabled());
           })},
          {"hscrollbar", On<Container>([](Container& c, std::string_view v) {
             c.EnableScrollBar(c.IsVScrollEnabled(), ParseBool(v));
           })},
      });
  return table;
}

Control* Container::GetItemAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return items_[static_cast<std::size_t>(index)].get();
}

int Container::GetItemIndex(const Control* control) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == control) return static_cast<int>(i);
  }
  return -1;
}

Control* Container::Add(std::unique_ptr<Control> control) {
  return AddAt(std::move(control), GetCount());
}

Control* Container::AddAt(std::unique_ptr<Control> control, int index) {
  if (!control) return nullptr;
  index = std::clamp(index, 0, GetCount());
  Control* raw = control.get();
  items_.insert(items_.begin() + index, std::move(control));
  raw->SetManager(manager_, this);
  NeedUpdate();
  return raw;
}

bool Container::Remove(Control* control) {
  const int index = GetItemIndex(control);
  if (index < 0) return false;
  // Take it out first: its destructor tells the manager, which must not find it in the tree.
  std::unique_ptr<Control> removed = std::move(items_[static_cast<std::size_t>(index)]);
  items_.erase(items_.begin() + index);
  removed.reset();
  NeedUpdate();
  return true;
}

void Container::RemoveAll() {
  std::vector<std::unique_ptr<Control>> removed = std::move(items_);
  items_.clear();
  removed.clear();
  scrollY_ = 0;
  NeedUpdate();
}

void Container::SetInset(const Rect& inset) {
  inset_ = inset;
  NeedUpdate();
}

void Container::SetChildPadding(int padding) {
  childPadding_ = padding;
  NeedUpdate();
}

void Container::EnableScrollBar(bool vertical, bool horizontal) {
  vScroll_ = vertical;
  hScroll_ = horizontal;
  if (!vertical) scrollY_ = 0;
  NeedUpdate();
}

void Container::SetScrollY(int offset) {
  const int view = pos_.Deflated(inset_).Height();
  const int clamped = vScroll_ ? ClampScroll(offset, content_.cy, view) : 0;
  if (clamped == scrollY_) return;
  scrollY_ = clamped;
  LayoutChildren();
  Invalidate();
  // After the scrolling event is done with: a sink may add rows to the container.
  if (PaintManager* manager = GetManager()) manager->SendNotify(this, "scroll", 0, 0, true);
}

void Container::VisibleGIF(bool visible) {
  if (gifVisible_ == visible) return;
  gifVisible_ = visible;
  if (manager_ != nullptr) {
    if (visible) {
      manager_->SetTimer(this, kGifTimerId, 100);
    } else {
      manager_->KillTimer(this, kGifTimerId);
    }
  }
  Invalidate();
}

bool Container::IsChildShown(const Control*) const {
  return true;
}

LayoutItem Container::ItemOf(const Control& control) {
  return {{control.GetFixedWidth(), control.GetFixedHeight()},
          control.GetMinSize(),
          control.GetMaxSize(),
          control.GetPadding()};
}

LayoutResult Container::Arrange(const Rect& area, const std::vector<LayoutItem>& items) {
  LayoutResult result;
  for (const auto& item : items) {
    Rect r = area.Deflated(item.padding);
    if (item.fixed.cx > 0) r.right = std::min(r.right, r.left + item.fixed.cx);
    if (item.fixed.cy > 0) r.bottom = std::min(r.bottom, r.top + item.fixed.cy);
    result.rects.push_back(r);
  }
  result.content = {area.Width(), area.Height()};
  return result;
}

void Container::SetPos(const Rect& pos) {
  pos_ = pos;
  LayoutChildren();
  Invalidate();
}

void Container::LayoutChildren() {
  std::vector<Control*> laid;
  std::vector<LayoutItem> items;
  for (const auto& child : items_) {
    if (!child->IsVisible()) {
      child->SetPos({});
      continue;
    }
    if (child->IsFloat()) continue;
    laid.push_back(child.get());
    items.push_back(ItemOf(*child));
  }
  Rect area = pos_.Deflated(inset_);
  LayoutResult result = Arrange(area, items);
  scrollBarShown_ = false;
  if (vScroll_ && result.content.cy > area.Height()) {
    // The bar takes its width from the children.
    scrollBarShown_ = true;
    area.right = std::max(area.left, area.right - kScrollBarWidth);
    result = Arrange(area, items);
  }
  content_ = result.content;
  scrollY_ = vScroll_ ? ClampScroll(scrollY_, content_.cy, area.Height()) : 0;
  for (std::size_t i = 0; i < laid.size(); ++i) {
    laid[i]->SetPos(result.rects[i].Offset(0, -scrollY_));
  }
  for (const auto& child : items_) {
    if (child->IsVisible() && child->IsFloat()) {
      child->SetPos(LayoutFloat(pos_, child->GetFloatPos(),
                                {child->GetFixedWidth(), child->GetFixedHeight()}));
    }
  }
}

void Container::SetManager(PaintManager* manager, Container* parent) {
  Control::SetManager(manager, parent);
  for (const auto& child : items_) child->SetManager(manager, this);
  if (manager != nullptr && gifVisible_) manager->SetTimer(this, kGifTimerId, 100);
}

Control* Container::FindControlAt(Point pt) {
  if (!IsShown() || !pos_.Contains(pt)) return nullptr;
  // Later children are painted above earlier ones, so they are hit first.
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    if (!IsChildShown(it->get())) continue;
    if (Control* hit = (*it)->FindControlAt(pt)) return hit;
  }
  return IsMouseEnabled() ? this : nullptr;
}

Control* Container::FindByName(std::string_view name) {
  if (GetName() == name) return this;
  for (const auto& child : items_) {
    if (Control* found = child->FindByName(name)) return found;
  }
  return nullptr;
}

void Container::DoEvent(UiEvent& event) {
  if (event.type == UiEvent::Type::ScrollWheel && vScroll_ && scrollBarShown_) {
    const int delta = static_cast<std::int16_t>(event.wParam & 0xFFFF);
    SetScrollY(scrollY_ - (delta > 0 ? kWheelStep : -kWheelStep));
    return;
  }
  if (event.type == UiEvent::Type::Timer && event.wParam == kGifTimerId) {
    gifFrame_ = (gifFrame_ + 1) % 12;
    Invalidate();
    return;
  }
  Control::DoEvent(event);
}

void Container::DoPaint(Painter& painter, const Rect& dirty) {
  const Rect clip = pos_.Intersect(dirty);
  if (clip.IsEmpty()) return;
  Control::DoPaint(painter, dirty);
  painter.PushClip(pos_.Deflated(inset_));
  for (const auto& child : items_) {
    if (!child->IsVisible() || child->IsFloat() || !IsChildShown(child.get())) continue;
    child->DoPaint(painter, clip);
  }
  painter.PopClip();
  for (const auto& child : items_) {
    if (child->IsVisible() && child->IsFloat() && IsChildShown(child.get())) {
      child->DoPaint(painter, clip);
    }
  }
  if (scrollBarShown_) PaintScrollBar(painter);
  if (gifVisible_) PaintLoadingAnimation(painter);
}

void Container::PaintScrollBar(Painter& painter) {
  const Rect area = pos_.Deflated(GetInset());
  const Rect track{area.right - kScrollBarWidth, area.top, area.right, area.bottom};
  painter.FillRect(track, 0x20000000);
  if (content_.cy <= 0) return;
  const double ratio = static_cast<double>(track.Height()) / content_.cy;
  const int thumbHeight = std::max(16, static_cast<int>(track.Height() * ratio));
  const int range = std::max(1, content_.cy - track.Height());
  const int thumbTop =
      track.top + static_cast<int>((track.Height() - thumbHeight) * (scrollY_ / double(range)));
  painter.FillRoundRect({track.left + 1, thumbTop, track.right - 1, thumbTop + thumbHeight}, 3,
                        0x80606060);
}

void Container::PaintLoadingAnimation(Painter& painter) {
  // Twelve spokes, the brightest one moving with the frame: a spinner without an image file.
  cairo_t* cr = painter.cairo();
  const Point c = pos_.Center();
  const double radius = std::min(16, std::min(pos_.Width(), pos_.Height()) / 4);
  if (radius < 4) return;
  cairo_save(cr);
  cairo_set_line_width(cr, std::max(2.0, radius / 5));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < 12; ++i) {
    const double angle = i * M_PI / 6;
    const double alpha = 0.15 + 0.85 * (((i - gifFrame_ + 12) % 12) / 11.0);
    cairo_set_source_rgba(cr, 0.25, 0.45, 0.75, alpha);
    cairo_move_to(cr, c.x + std::cos(angle) * radius * 0.5, c.y + std::sin(angle) * radius * 0.5);
    cairo_line_to(cr, c.x + std::cos(angle) * radius, c.y + std::sin(angle) * radius);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

}  // namespace skinui
