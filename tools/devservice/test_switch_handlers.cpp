#include "devservice/test_switch_handlers.h"

#include <charconv>

#include "devservice/connection_drop_plan.h"
#include "devservice/file_request_log.h"
#include "devservice/file_transfer_pace.h"
#include "devservice/outage_switch.h"
#include "devservice/router.h"
#include "devservice/service_context.h"
#include "devservice/text_util.h"

namespace devservice {

namespace {

constexpr std::int32_t kMaxHijackCount = 1000;
constexpr std::int32_t kMaxOutageCount = 1000;
constexpr std::int32_t kMaxDropRepeats = 1000;
// Far beyond any sample file; keeps the sums of the plan away from overflow.
constexpr std::int64_t kMaxDropBytes = std::int64_t{1} << 40;

// "after=120,4116,9000": byte counts, each a plain decimal.
std::vector<std::int64_t> DropPoints(const std::string& text) {
  std::vector<std::int64_t> points;
  for (const std::string& part : Split(text, ',')) {
    std::int64_t value = -1;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (error != std::errc() || end != part.data() + part.size() || value < 0 ||
        value > kMaxDropBytes) {
      throw BadRequest("参数after应为以逗号分隔的字节数");
    }
    points.push_back(value);
  }
  if (points.empty()) throw BadRequest("参数after应为以逗号分隔的字节数");
  return points;
}

Json::Value DropStatus(const ConnectionDropPlan& plan) {
  Json::Value value(Json::objectValue);
  value["result"] = 1;
  value["pending"] = Json::UInt64(plan.pending());
  value["cut"] = Json::Int64(plan.cutsDone());
  return value;
}

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
  router.add("_dev/files/drop", [&context](const Request& request) {
    const bool clear = request.optionalInteger("clear").value_or(0) != 0;
    const auto after = request.optionalText("after");
    if (!clear && !after) throw BadRequest("缺少参数after");
    const std::int32_t count = request.optionalInteger("count").value_or(1);
    if (count < 1 || count > kMaxDropRepeats) throw BadRequest("参数count应在1到1000之间");
    const bool reset = request.optionalInteger("reset").value_or(0) != 0;
    const std::vector<std::int64_t> points =
        after ? DropPoints(*after) : std::vector<std::int64_t>{};
    if (clear) context.fileDrops.clear();
    if (!context.fileDrops.add(points, count, reset)) throw BadRequest("计划断开的连接太多");
    context.log.write("测试开关: 文件服务器接下来的 " + std::to_string(points.size() * count) +
                      " 个连接将在指定字节数后" + (reset ? "被重置" : "被断开"));
    return JsonReply(DropStatus(context.fileDrops));
  });
  router.add("_dev/files/pace", [&context](const Request& request) {
    const std::int32_t rate = request.integer("bytes_per_second");
    if (!context.filePace.set(rate)) {
      throw BadRequest("参数bytes_per_second应为0或不小于" +
                       std::to_string(FileTransferPace::kMinBytesPerSecond));
    }
    context.log.write(rate == 0 ? std::string("测试开关: 文件服务器不再限速")
                                : "测试开关: 文件服务器每个连接限速 " + std::to_string(rate) +
                                      " 字节/秒");
    Json::Value value(Json::objectValue);
    value["result"] = 1;
    value["bytes_per_second"] = rate;
    return JsonReply(value);
  });
  router.add("_dev/files/requests", [&context](const Request&) {
    Json::Value value(Json::objectValue);
    value["result"] = 1;
    value["requests"] = Json::Value(Json::arrayValue);
    for (const FileRequestLog::Entry& entry : context.fileRequests.entries()) {
      Json::Value item(Json::objectValue);
      item["store"] = entry.store;
      item["file"] = entry.fileName;
      item["offset"] = Json::Int64(entry.offset);
      value["requests"].append(item);
    }
    return JsonReply(value);
  });
  router.add("_dev/outage", [&context](const Request& request) {
    const std::string path = NormalizeRequestPath(request.text("path"));
    const std::int32_t count = request.integer("count");
    if (count < 0 || count > kMaxOutageCount) throw BadRequest("参数count应在0到1000之间");
    if (path.starts_with("_dev/")) throw BadRequest("测试开关本身不能被关闭");
    std::optional<OutageSwitch::Condition> condition;
    if (const auto parameter = request.optionalText("param")) {
      condition = OutageSwitch::Condition{*parameter, request.optionalText("value").value_or("")};
    }
    if (!context.outages.arm(path, condition, count)) throw BadRequest("设置的故障太多");
    context.log.write(
        "测试开关: " + path +
        (condition ? "（" + condition->parameter + "=" + condition->value + "）" : "") + " 的后 " +
        std::to_string(count) + " 个请求将回复服务暂时不可用");
    Json::Value value(Json::objectValue);
    value["result"] = 1;
    value["path"] = path;
    value["count"] = count;
    return JsonReply(value);
  });
  router.add("_dev/files/status",
             [&context](const Request&) { return JsonReply(DropStatus(context.fileDrops)); });
  // Raises an app's version to its upgrade (reset=1 lowers it again).
  router.add("_dev/apps/upgrade", [&context](const Request& request) {
    const App* app = context.catalogue.findApp(request.text("appName"));
    if (app == nullptr) throw BadRequest("应用不存在");
    const bool reset = request.optionalInteger("reset").value_or(0) != 0;
    if (reset) {
      context.upgrades.lower(*app);
    } else if (!context.upgrades.raise(*app)) {
      throw BadRequest("该应用没有可用的升级");
    }
    context.log.write("测试开关: 应用 " + app->appName + " 的版本为 " +
                      context.upgrades.version(*app));
    Json::Value value(Json::objectValue);
    value["result"] = 1;
    value["version"] = context.upgrades.version(*app);
    value["package"] = context.upgrades.packageName(*app);
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
