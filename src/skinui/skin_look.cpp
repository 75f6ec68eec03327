#include "skinui/skin_look.h"

#include "skinui/attribute_values.h"
#include "skinui/control.h"

namespace skinui {

void ApplySkinLook(Control* root, const SkinLook& look) {
  if (root == nullptr) return;
  if (look.colorMode) {
    root->SetBkColor(look.color);
    root->SetBkImage("");
    return;
  }
  if (look.image.empty()) return;
  try {
    root->SetBkImage(look.image);
    root->SetBkColor(0);
  } catch (const AttributeError&) {
    // A stored image name that is not an image attribute: keep the current look.
  }
}

}  // namespace skinui
