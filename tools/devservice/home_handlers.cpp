#include "devservice/home_handlers.h"

#include "devservice/router.h"
#include "devservice/service_context.h"
#include "devservice/text_util.h"

namespace devservice {

namespace {

constexpr std::int32_t kMaxNewsCount = 100;

Reply News(const ServiceContext& context, const Request& request) {
  const std::int32_t count = request.integer("count");
  if (count < 1 || count > kMaxNewsCount) throw BadRequest("参数count应在1到100之间");
  Json::Value value(Json::objectValue);
  value["result"] = 1;
  value["news"] = Json::Value(Json::arrayValue);
  const auto& news = context.catalogue.news();
  for (std::size_t i = 0; i < news.size() && i < static_cast<std::size_t>(count); ++i) {
    Json::Value item(Json::objectValue);
    item["id"] = news[i].id;
    item["title"] = news[i].title;
    item["url"] = request.baseUrl() + "zelk/News.aspx?id=" + std::to_string(news[i].id);
    item["date"] = news[i].date;
    value["news"].append(item);
  }
  return JsonReply(value);
}

Reply Advertisements(const ServiceContext& context, const Request& request) {
  Json::Value value(Json::objectValue);
  value["result"] = 1;
  value["AdItems"] = Json::Value(Json::arrayValue);
  for (const Advertisement& ad : context.catalogue.advertisements()) {
    Json::Value item(Json::objectValue);
    item["id"] = ad.id;
    item["AdDesc"] = ad.description;
    item["AdImageURL"] = request.baseUrl() + "zelk/AdImages/" + ad.picture;
    item["TargetURL"] = request.baseUrl() + "zelk/Promotion.aspx?id=" + std::to_string(ad.id);
    value["AdItems"].append(item);
  }
  return JsonReply(value);
}

Reply Statistics(const ServiceContext& context) {
  const Json::Value& base = context.catalogue.site()["statistics"];
  Json::Value value(Json::objectValue);
  value["result"] = 1;
  value["installTotal"] = Json::Int64(base["installBase"].asInt64() + context.state.clientStarts());
  value["appTotal"] = static_cast<Json::UInt>(context.catalogue.apps().size());
  value["onlineUserTotal"] =
      Json::Int64(base["onlineBase"].asInt64() + context.state.liveSignCount());
  value["hasProcessQuestionTotal"] = Json::Int64(base["processedQuestions"].asInt64());
  return JsonReply(value);
}

Reply RecordUserBehavior(const ServiceContext& context, const Request& request) {
  const std::int32_t kind = request.integer("req");
  if (kind == 1) {
    context.state.recordClientStart();
  } else if (kind == 0) {
    const std::string name = request.text("behaviorName");
    context.state.recordBehavior(name, request.integer("behaviorKind"));
  } else {
    throw BadRequest("不支持的请求req");
  }
  Json::Value value(Json::objectValue);
  value["result"] = 1;
  return JsonReply(value);
}

}  // namespace

void AddHomeHandlers(Router& router, ServiceContext& context) {
  router.add("zelk/NewsApi.aspx",
             [&context](const Request& request) { return News(context, request); });
  router.add("zelk/AdvertisementApi.aspx",
             [&context](const Request& request) { return Advertisements(context, request); });
  router.add("zelk/InformationStatisticsApi.aspx",
             [&context](const Request&) { return Statistics(context); });
  router.add("zelk/RecordUserBehavior.aspx",
             [&context](const Request& request) { return RecordUserBehavior(context, request); });
}

}  // namespace devservice
