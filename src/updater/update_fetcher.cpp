#include "updater/update_fetcher.h"

#include <json/json.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "core/app_directory.h"
#include "core/app_log.h"
#include "core/program_files.h"
#include "core/update_mark.h"
#include "platform/code_page.h"
#include "platform/file_version.h"

namespace updater {
namespace {

std::string baseUrl(const std::string& serviceHostAndPort) {
  return "http://" + serviceHostAndPort + "/";
}

bool isAbsoluteUrl(const std::string& url) {
  return url.starts_with("http://") || url.starts_with("https://");
}

int intMember(const Json::Value& object, const char* name) {
  const Json::Value& value = object[name];
  if (value.isInt()) return value.asInt();
  if (value.isString()) return std::atoi(value.asCString());
  return 0;
}

}  // namespace

bool ParseUpdateOffer(const std::string& replyJson, UpdateOffer& offer) {
  offer = {};
  Json::Value root;
  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  try {
    // jsoncpp raises instead of answering false for some replies (nesting too deep).
    if (!reader->parse(replyJson.data(), replyJson.data() + replyJson.size(), &root, &errors)) {
      return false;
    }
  } catch (const std::exception&) {
    return false;
  }
  if (!root.isObject() || intMember(root, "result") != 1) return false;
  if (root["version"].isString()) offer.version = root["version"].asString();
  if (root["url"].isString()) offer.packageUrl = root["url"].asString();
  offer.available = intMember(root, "hasUpdate") == 1 && !offer.packageUrl.empty();
  return true;
}

std::string UpdateQueryUrl(const std::string& serviceHostAndPort, const std::string& version) {
  return baseUrl(serviceHostAndPort) + "zelk/ClientUpdateApi.aspx?ver=" + version;
}

std::string InstalledClientVersion(const std::string& appDirectory) {
  const auto embedded =
      platform::ReadEmbeddedFileVersion(core::JoinAppPath(appDirectory, core::ClientProcessName()));
  return embedded ? *embedded : platform::kBuildVersionText;
}

UpdateFetcher::UpdateFetcher(const core::ZelkLibBinding& binding, std::string appDirectory,
                             std::string serviceHostAndPort)
    : binding_(binding),
      appDirectory_(std::move(appDirectory)),
      serviceHostAndPort_(std::move(serviceHostAndPort)) {}

FetchResult UpdateFetcher::Run() {
  const std::string query =
      UpdateQueryUrl(serviceHostAndPort_, InstalledClientVersion(appDirectory_));
  std::u16string status;
  const std::u16string reply = binding_.GetWebContent(platform::Utf8ToUtf16(query), status);
  UpdateOffer offer;
  if (std::atoi(platform::Utf16ToUtf8(status).c_str()) != 1 ||
      !ParseUpdateOffer(platform::Utf16ToUtf8(reply), offer)) {
    core::WriteLog(binding_, std::string("ZelkUpdater check: no answer from ") + query);
    return FetchResult::NoAnswer;
  }
  if (!offer.available) return FetchResult::NoUpdate;

  const std::u16string packageUrl =
      isAbsoluteUrl(offer.packageUrl)
          ? platform::Utf8ToUtf16(offer.packageUrl)
          : binding_.CombinURL(platform::Utf8ToUtf16(baseUrl(serviceHostAndPort_)),
                               platform::Utf8ToUtf16(offer.packageUrl));
  const std::string package = core::JoinAppPath(appDirectory_, core::kWaitingPackageRelativePath);
  std::error_code error;
  std::filesystem::create_directories(core::JoinAppPath(appDirectory_, core::kWaitingFolder),
                                      error);
  std::u16string downloadError;
  if (binding_.DownloadImageByUrl(packageUrl, platform::Utf8ToUtf16(package), downloadError) == 0) {
    core::WriteLog(binding_, u"ZelkUpdater download failed: " + downloadError);
    return FetchResult::Failed;
  }
  core::WriteUpdateMark(appDirectory_, "1");
  core::WriteLog(binding_, std::string("ZelkUpdater fetched version ") + offer.version);
  return FetchResult::Fetched;
}

}  // namespace updater
