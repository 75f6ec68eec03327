#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "appcenter/app_market_item_ui.h"
#include "appcenter/app_market_view.h"
#include "core/service_context.h"
#include "skinui/control.h"

namespace appcenter {

// WM_APP_CATEGORY_ADD: one category button for "vluAppMarketCategory".
struct AppCategoryAdd {
  std::unique_ptr<skinui::Control> option;
};
// WM_APP_CATEGORY_SELECT: the button to select once all have arrived (by name: the buttons
// may have been rebuilt meanwhile).
struct AppCategorySelect {
  std::string optionName;
};

inline constexpr char kCategoryPrefix[] = "app_market_category_buttons_";
inline constexpr char kAppList[] = "lstAppMarketList";

// The workers of the app catalogue. Each runs on its own thread, builds new controls only and
// posts them with the results to the main window; whatever fails, it still posts its closing
// messages.

// Fetches the categories and posts one option button per category, then the selection of the
// first.
void RunCategoryWorker(const core::ServiceContext& context, CAppMarketView* view);

// What one page load asks for.
struct AppPageRequest {
  CAppMarketView* view = nullptr;
  std::int32_t categoryId = 0;
  std::int32_t pageIndex = 1;
  std::u16string searchText;
  AppItemEnvironment environment;
};
// Fetches one page of apps and posts an item per app (icons fetched when missing), the pager,
// and the list's loading state and empty picture.
void RunPageWorker(const core::ServiceContext& context, const AppPageRequest& request);

}  // namespace appcenter
