#include "devservice/update_handlers.h"

#include "devservice/router.h"
#include "devservice/service_context.h"
#include "devservice/text_util.h"

namespace devservice {

namespace {

Reply UpdateCheck(const ServiceContext& context, const Request& request) {
  const std::string version = Trim(request.text("ver"));
  if (!IsVersionText(version)) throw BadRequest("参数ver不是有效的版本号");
  const ClientUpdate& offer = context.catalogue.clientUpdate();
  const bool newer = !offer.version.empty() && CompareVersions(offer.version, version) > 0;
  Json::Value value(Json::objectValue);
  value["result"] = 1;
  value["hasUpdate"] = newer ? 1 : 0;
  value["version"] = newer ? offer.version : version;
  value["url"] = newer
                     ? request.baseUrl() + "zelk/ClientUpdates/" + UrlEncodeComponent(offer.package)
                     : std::string();
  value["notes"] = newer ? offer.notes : std::string();
  return JsonReply(value);
}

Reply UpdatePackage(const ServiceContext& context, const Request& request) {
  const ClientUpdate& offer = context.catalogue.clientUpdate();
  const std::string name = request.pathAfter("zelk/ClientUpdates/");
  // Only the offered package is served, whatever else lies in the folder.
  if (offer.version.empty() || ToLowerAscii(name) != ToLowerAscii(offer.package)) {
    return FailureReply("文件不存在", 404);
  }
  return FileReply(context.catalogue.pathOf("updates/" + offer.package));
}

}  // namespace

void AddUpdateHandlers(Router& router, ServiceContext& context) {
  router.add("zelk/ClientUpdateApi.aspx",
             [&context](const Request& request) { return UpdateCheck(context, request); });
  router.addPrefix("zelk/ClientUpdates/",
                   [&context](const Request& request) { return UpdatePackage(context, request); });
}

}  // namespace devservice
