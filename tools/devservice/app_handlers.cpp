#include "devservice/app_handlers.h"

#include <algorithm>

#include "devservice/router.h"
#include "devservice/service_context.h"
#include "devservice/text_util.h"

namespace devservice {

namespace {

constexpr std::size_t kMaxAppNamesInVersionQuery = 500;

Json::Value AppJson(const App& app, const Request& request, const AppUpgradeSwitch& upgrades) {
  Json::Value item(Json::objectValue);
  item["Id"] = app.id;
  item["AppName"] = app.appName;
  item["AppDisplayName"] = app.displayName;
  item["AppDeveloper"] = app.developer;
  item["AppVersion"] = upgrades.version(app);
  item["AppIconName"] = app.iconName;
  item["AppIconUrl"] = request.baseUrl() + "zelk/AppIcons/" + app.appName + ".png";
  item["AppInstallPackageName"] = upgrades.packageName(app);
  item["AppExeName"] = app.exeName;
  item["AppRemark"] = app.remark;
  item["netVersion"] = app.netVersion;
  item["AppSize"] = app.size;
  item["CategoryId"] = app.categoryId;
  return item;
}

bool Matches(const App& app, const std::vector<std::string>& terms) {
  const std::string text =
      ToLowerAscii(app.appName + "\n" + app.displayName + "\n" + app.remark + "\n" + app.developer);
  return std::all_of(terms.begin(), terms.end(), [&](const std::string& term) {
    return text.find(ToLowerAscii(term)) != std::string::npos;
  });
}

Reply Categories(const ServiceContext& context) {
  Json::Value value(Json::objectValue);
  value["result"] = 1;
  value["list"] = Json::Value(Json::arrayValue);
  for (const AppCategory& category : context.catalogue.categories()) {
    Json::Value item(Json::objectValue);
    item["id"] = category.id;
    item["categoryName"] = category.name;
    value["list"].append(item);
  }
  return JsonReply(value);
}

// A search text looks through every category: the home page asks for an outdated app by name
// while the app center may show another category. Category 0 lists every app.
Reply AppPage(const ServiceContext& context, const Request& request) {
  const std::int32_t index = std::max<std::int32_t>(request.integer("index"), 1);
  const std::int32_t categoryId = request.integer("cid");
  const auto& categories = context.catalogue.categories();
  if (categoryId != 0 && std::none_of(categories.begin(), categories.end(),
                                      [&](const AppCategory& c) { return c.id == categoryId; })) {
    throw BadRequest("应用分类不存在");
  }
  const std::vector<std::string> terms = SplitTerms(request.optionalText("wh").value_or(""));
  std::vector<const App*> selected;
  for (const App& app : context.catalogue.apps()) {
    const bool inCategory = !terms.empty() || categoryId == 0 || app.categoryId == categoryId;
    if (inCategory && Matches(app, terms)) selected.push_back(&app);
  }
  const std::int64_t pageSize = context.catalogue.appPageSize();
  const std::int64_t pages = (static_cast<std::int64_t>(selected.size()) + pageSize - 1) / pageSize;
  Json::Value value(Json::objectValue);
  value["result"] = 1;
  value["count"] = Json::Int64(pages);
  value["AppItems"] = Json::Value(Json::arrayValue);
  const std::int64_t first = (static_cast<std::int64_t>(index) - 1) * pageSize;
  for (std::int64_t i = first;
       i < first + pageSize && i < static_cast<std::int64_t>(selected.size()); ++i) {
    value["AppItems"].append(
        AppJson(*selected[static_cast<std::size_t>(i)], request, context.upgrades));
  }
  return JsonReply(value);
}

Reply Versions(const ServiceContext& context, const Request& request) {
  std::string names = request.optionalText("appNames").value_or("");
  if (names.empty() && request.body().starts_with("appNames=")) {
    names = request.body().substr(9);  // a body sent without a form content type
  }
  if (Trim(names).empty()) throw BadRequest("缺少参数appNames");
  const std::vector<std::string> wanted = Split(names, ',');
  if (wanted.size() > kMaxAppNamesInVersionQuery) throw BadRequest("应用名称太多");
  Json::Value value(Json::objectValue);
  value["result"] = 1;
  value["AppItems"] = Json::Value(Json::arrayValue);
  for (const std::string& name : wanted) {
    if (const App* app = context.catalogue.findApp(Trim(name))) {
      Json::Value item(Json::objectValue);
      item["Id"] = app->id;
      item["AppName"] = app->appName;
      item["AppVersion"] = context.upgrades.version(*app);
      value["AppItems"].append(item);
    }
  }
  return JsonReply(value);
}

}  // namespace

void AddAppHandlers(Router& router, ServiceContext& context) {
  router.add("zelk/AppMarketAPI.aspx", [&context](const Request& request) {
    switch (request.integer("req")) {
      case 0:
        return AppPage(context, request);
      case 2:
        return Categories(context);
      case 3:
        return Versions(context, request);
      default:
        throw BadRequest("不支持的请求req");
    }
  });
}

}  // namespace devservice
