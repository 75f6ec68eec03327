#include "skinui/list_label_element.h"

#include "skinui/container.h"
#include "skinui/list_owner.h"
#include "skinui/painter.h"

namespace skinui {

bool ListLabelElement::Activate() {
  if (!Control::Activate()) return false;
  const std::weak_ptr<Control*> alive = AliveToken();
  SendNotify("itemclick");
  if (alive.expired()) return true;  // the handler emptied the list
  if (auto* owner = dynamic_cast<ListOwner*>(GetParent())) {
    owner->SelectItem(owner->IndexOfItem(this));
  }
  return true;
}

void ListLabelElement::DoPaint(Painter& painter, const Rect& dirty) {
  if (const auto* owner = dynamic_cast<const ListOwner*>(GetParent())) {
    if (owner->GetCurSel() >= 0 && owner->GetCurSel() == owner->IndexOfItem(this)) {
      painter.FillRect(pos_.Intersect(dirty), owner->SelectedItemBkColor());
    }
  }
  Label::DoPaint(painter, dirty);
}

}  // namespace skinui
