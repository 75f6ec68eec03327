#include "appcenter/app_catalogue.h"

#include <exception>

#include "core/app_directory.h"
#include "core/window_messages.h"
#include "core/window_payloads.h"
#include "net/endpoints.h"
#include "net/json_reply.h"
#include "net/service_requests.h"
#include "net/service_transfer.h"
#include "skinui/option.h"

namespace appcenter {
namespace {

void PostViewEnable(const core::ServiceContext& context, CAppMarketView* view, bool enable) {
  context.postToMainWindow(core::WM_VIEW_ENABLE, platform::Payload::make<core::ViewEnablePayload>(
                                                     core::ViewEnablePayload{view, enable}));
}

std::unique_ptr<skinui::Control> MakeCategoryButton(std::int32_t id, const std::string& name) {
  auto option = std::make_unique<skinui::Option>();
  option->SetName(kCategoryPrefix + std::to_string(id));
  option->SetText(core::AnsiTextToWide(name));
  option->SetAttribute("height", "38");
  option->SetAttribute("align", "center");
  option->SetAttribute("group", "app_market_category_buttons");
  option->SetAttribute("hotimage", "app_market/lefttab_over.png");
  option->SetAttribute("pushedimage", "app_market/lefttab_down.png");
  option->SetAttribute("selectedimage", "app_market/lefttab_down.png");
  option->SetAttribute("selectedtextcolor", "#FFFFFFFF");
  return option;
}

std::u16string Text(const Json::Value& item, const char* key) {
  return core::AnsiTextToWide(net::ReplyText(item, key));
}

}  // namespace

void RunCategoryWorker(const core::ServiceContext& context, CAppMarketView* view) {
  PostViewEnable(context, view, false);
  try {
    const std::u16string os = net::GetShortOSName(context.binding());
    const std::optional<std::u16string> url =
        net::ServiceRequestUrl(context.binding(), net::endpoints::kAppCategories, {os});
    std::string reply;
    if (!url || !net::GetServiceContent(context.binding(), *url, reply)) {
      net::ReportRequestFailure(context);
    } else if (const auto json = net::ParseServiceReply(reply);
               json && net::ReplyResult(*json) == 1 && (*json)["list"].isArray()) {
      std::vector<std::unique_ptr<skinui::Control>> buttons;
      for (const Json::Value& category : (*json)["list"]) {
        if (!category.isObject()) continue;
        buttons.push_back(MakeCategoryButton(net::ReplyInt(category, "id"),
                                             net::ReplyText(category, "categoryName")));
      }
      if (!buttons.empty()) {
        const std::string first = buttons.front()->GetName();
        for (auto& button : buttons) {
          context.postToMainWindow(
              core::WM_APP_CATEGORY_ADD,
              platform::Payload::make<AppCategoryAdd>(AppCategoryAdd{std::move(button)}));
        }
        context.postToMainWindow(
            core::WM_APP_CATEGORY_SELECT,
            platform::Payload::make<AppCategorySelect>(AppCategorySelect{first}));
      }
    }
  } catch (const std::exception&) {
    // The closing message below still enables the navigation.
  }
  PostViewEnable(context, view, true);
}

void RunPageWorker(const core::ServiceContext& context, const AppPageRequest& request) {
  context.postToMainWindow(
      core::WM_LIST_SHOW_LOADING,
      platform::Payload::make<core::ListLoadingPayload>(core::ListLoadingPayload{kAppList, true}));
  PostViewEnable(context, request.view, false);
  bool networkFailure = false;
  std::int32_t pageCount = 0;
  const std::int32_t index = request.pageIndex < 1 ? 1 : request.pageIndex;
  try {
    const std::u16string os = net::GetShortOSName(context.binding());
    const std::optional<std::u16string> url =
        net::ServiceRequestUrl(context.binding(), net::endpoints::kAppListPage,
                               {index, request.categoryId, request.searchText, os});
    std::string reply;
    if (!url || !net::GetServiceContent(context.binding(), *url, reply)) {
      networkFailure = true;
      net::ReportRequestFailure(context);
    } else if (const auto json = net::ParseServiceReply(reply);
               json && net::ReplyResult(*json) == 1) {
      pageCount = net::ReplyInt(*json, "count");
      const Json::Value& items = (*json)["AppItems"];
      int position = 0;
      for (const Json::Value& app : items.isArray() ? items : Json::Value(Json::arrayValue)) {
        if (!app.isObject()) continue;
        auto item = std::make_unique<CAppMarketItemUI>(request.environment);
        item->SetData(net::ReplyInt(app, "Id"), Text(app, "AppName"), Text(app, "AppDisplayName"),
                      Text(app, "AppDeveloper"), Text(app, "AppVersion"), Text(app, "AppIconName"),
                      Text(app, "AppIconUrl"), Text(app, "AppInstallPackageName"),
                      Text(app, "AppExeName"), Text(app, "AppRemark"), Text(app, "netVersion"));
        item->SetIndex(position++);
        item->LoadIcon(true);
        context.postToMainWindow(core::WM_LIST_ADD_ITEM,
                                 platform::Payload::make<core::ListItemPayload>(
                                     core::ListItemPayload{kAppList, std::move(item)}));
      }
    }
  } catch (const std::exception&) {
    // What arrived stays; the closing messages follow.
  }
  context.postToMainWindow(core::WM_VIEW_SET_PAGER,
                           platform::Payload::make<core::ViewPagerPayload>(
                               core::ViewPagerPayload{request.view, index, pageCount, 0}));
  PostViewEnable(context, request.view, true);
  context.postToMainWindow(
      core::WM_LIST_SHOW_LOADING,
      platform::Payload::make<core::ListLoadingPayload>(core::ListLoadingPayload{kAppList, false}));
  context.postToMainWindow(core::WM_LIST_EMPTY_IMAGE,
                           platform::Payload::make<core::ListEmptyImagePayload>(
                               core::ListEmptyImagePayload{kAppList, networkFailure}));
}

}  // namespace appcenter
