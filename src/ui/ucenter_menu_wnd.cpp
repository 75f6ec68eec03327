#include "ui/ucenter_menu_wnd.h"

namespace ui {

CUCenterMenuWnd::CUCenterMenuWnd(skinui::UiContext& context)
    : CMenuWnd(context, {"UCenterMenuWnd", "ucenter_menu.xml", "ucenter_menu_item_"}) {}

}  // namespace ui
