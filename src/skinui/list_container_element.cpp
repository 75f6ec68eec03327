#include "skinui/list_container_element.h"

#include "skinui/list_owner.h"
#include "skinui/paint_manager.h"
#include "skinui/painter.h"

namespace skinui {

bool ListContainerElement::Activate() {
  if (!Control::Activate()) return false;
  const std::weak_ptr<Control*> alive = AliveToken();
  SendNotify("itemclick");
  if (alive.expired()) return true;  // the handler emptied the list
  if (auto* owner = dynamic_cast<ListOwner*>(GetParent())) {
    owner->SelectItem(owner->IndexOfItem(this));
  }
  return true;
}

bool ListContainerElement::IsSelected() const {
  const auto* owner = dynamic_cast<const ListOwner*>(GetParent());
  return owner != nullptr && owner->GetCurSel() >= 0 &&
         owner->GetCurSel() == owner->IndexOfItem(this);
}

void ListContainerElement::DoPaint(Painter& painter, const Rect& dirty) {
  if (const auto* owner = dynamic_cast<const ListOwner*>(GetParent())) {
    if (IsSelected()) {
      painter.FillRect(pos_.Intersect(dirty), owner->SelectedItemBkColor());
    } else if (manager_ != nullptr && manager_->GetHot() == this) {
      painter.FillRect(pos_.Intersect(dirty), owner->HotItemBkColor());
    }
  }
  HorizontalLayout::DoPaint(painter, dirty);
}

}  // namespace skinui
