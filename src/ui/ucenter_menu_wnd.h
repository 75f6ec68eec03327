#pragma once

#include "ui/menu_wnd.h"

namespace ui {

// The user-center menu behind "btnMenuForUserCenter": the profile, the password, the messages
// and logging out.
class CUCenterMenuWnd final : public CMenuWnd {
 public:
  explicit CUCenterMenuWnd(skinui::UiContext& context);
};

}  // namespace ui
