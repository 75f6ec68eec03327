#include "appcenter/app_version_check.h"

#include <exception>

#include "appcenter/version_file.h"
#include "core/app_directory.h"
#include "core/window_messages.h"
#include "net/json_reply.h"
#include "net/service_transfer.h"

namespace appcenter {
namespace {

constexpr int kBuildingPollMs = 200;
constexpr int kSettleMs = 500;

void WaitWhileBuilding(const core::ServiceContext& context,
                       const std::shared_ptr<std::atomic<bool>>& building) {
  while (building->load()) context.loop->clock().sleepMs(kBuildingPollMs);
}

}  // namespace

std::u16string AppVersionsBody(const std::vector<InstalledApp>& apps) {
  std::u16string body = u"appNames=";
  for (std::size_t i = 0; i < apps.size(); ++i) {
    if (i > 0) body += u",";
    body += apps[i].appName;
  }
  return body;
}

void RunAppVersionCheck(const core::ServiceContext& context, const std::u16string& url,
                        const std::u16string& body, const std::vector<InstalledApp>& apps,
                        const std::shared_ptr<std::atomic<bool>>& building) {
  try {
    std::string reply;
    if (!net::PostServiceContent(context.binding(), url, body, reply)) {
      net::ReportRequestFailure(context);
      return;
    }
    const auto json = net::ParseServiceReply(reply);
    if (!json || net::ReplyResult(*json) != 1 || !(*json)["AppItems"].isArray()) return;
    struct Outdated {
      const InstalledApp* app;
      std::u16string installed;
    };
    std::vector<Outdated> outdated;
    for (const Json::Value& item : (*json)["AppItems"]) {
      if (!item.isObject()) continue;
      const std::u16string name = core::AnsiTextToWide(net::ReplyText(item, "AppName"));
      const std::u16string version = core::AnsiTextToWide(net::ReplyText(item, "AppVersion"));
      for (const InstalledApp& app : apps) {
        if (app.appName != name) continue;
        const std::u16string installed =
            app.versionPath.empty() ? std::u16string() : ReadVersionFile(app.versionPath).Version();
        if (installed != version) outdated.push_back({&app, installed});
        break;
      }
    }
    if (outdated.empty()) return;
    WaitWhileBuilding(context, building);
    for (const Outdated& entry : outdated) {
      if (entry.app->versionPath.empty() || !ReadVersionFile(entry.app->versionPath).exists) {
        continue;
      }
      WriteUpgradeMark(entry.app->versionPath, entry.installed);
    }
    context.loop->clock().sleepMs(kSettleMs);
    WaitWhileBuilding(context, building);
    context.postToMainWindow(core::WM_HOME_APPS_REFRESH);
  } catch (const std::exception&) {
    // The grid keeps its badges; the next start asks again.
  }
}

}  // namespace appcenter
