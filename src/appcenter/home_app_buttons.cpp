#include "appcenter/home_app_buttons.h"

namespace appcenter {

// The buttons and their store come with the home apps' part.
void HomeAppButtons::CheckAppVersions() {}
void HomeAppButtons::DoRefreshHomeAppButtons() {}
void HomeAppButtons::OnHomeAppClick(const std::string&, skinui::Point) {}
void HomeAppButtons::ToggleHomeAppEditMode() {}
void HomeAppButtons::OnHomeAppPagerClick(const std::string&) {}

}  // namespace appcenter
