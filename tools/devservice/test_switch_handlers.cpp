#include "devservice/test_switch_handlers.h"

#include "devservice/router.h"
#include "devservice/service_context.h"
#include "devservice/text_util.h"

namespace devservice {

namespace {

constexpr std::int32_t kMaxHijackCount = 1000;

}  // namespace

void AddTestSwitchHandlers(Router& router, ServiceContext& context) {
  router.add("_dev/hijack", [&context](const Request& request) {
    const std::string path = NormalizeRequestPath(request.text("path"));
    const std::int32_t count = request.integer("count");
    if (count < 0 || count > kMaxHijackCount) throw BadRequest("参数count应在0到1000之间");
    if (path.starts_with("_dev/")) throw BadRequest("测试开关本身不能被劫持");
    context.hijack.arm(path, count);
    context.log.write("测试开关: " + path + " 的后 " + std::to_string(count) +
                      " 个回复将带有劫持标记");
    Json::Value value(Json::objectValue);
    value["result"] = 1;
    value["path"] = path;
    value["count"] = count;
    return JsonReply(value);
  });
  router.add("_dev/requests", [&router](const Request& request) {
    Json::Value value(Json::objectValue);
    value["result"] = 1;
    value["count"] = router.requestCount(request.text("path"));
    return JsonReply(value);
  });
  router.add("_dev/expire-signs", [&context](const Request& request) {
    const int expired = context.state.expireSigns(request.optionalInteger("uid"));
    context.log.write("测试开关: " + std::to_string(expired) + " 个登录凭证已过期");
    Json::Value value(Json::objectValue);
    value["result"] = 1;
    value["expired"] = expired;
    return JsonReply(value);
  });
}

}  // namespace devservice
