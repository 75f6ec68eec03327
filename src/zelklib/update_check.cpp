#include "zelklib/update_check.h"

#include <json/json.h>

#include <memory>
#include <sstream>

#include "platform/file_version.h"
#include "platform/paths.h"
#include "platform/service_host.h"
#include "zelklib/file_ops.h"
#include "zelklib/http_client.h"
#include "zelklib/scheme_handler.h"

namespace zelklib {
namespace {

bool integerIs(const Json::Value& object, const char* key, int expected) {
  const Json::Value& value = object[key];
  if (value.isInt()) return value.asInt() == expected;
  if (value.isString()) return value.asString() == std::to_string(expected);
  return false;
}

}  // namespace

std::string UpdateQueryUrl(const std::string& serviceHostAndPort, const std::string& version) {
  return "http://" + serviceHostAndPort + "/zelk/ClientUpdateApi.aspx?ver=" + version;
}

bool ReplyOffersUpdate(const std::string& replyJson) {
  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  if (!reader->parse(replyJson.data(), replyJson.data() + replyJson.size(), &root, &errors) ||
      !root.isObject()) {
    return false;
  }
  return integerIs(root, "result", 1) && integerIs(root, "hasUpdate", 1);
}

std::string InstalledClientVersion(const std::string& programDir) {
  return platform::ReadEmbeddedFileVersion(ClientProgramPath(programDir))
      .value_or(platform::kBuildVersionText);
}

bool IsUpdateAvailable(const std::string& programDir) {
  const HttpReply reply =
      HttpGet(UpdateQueryUrl(platform::ServiceHostAndPort(), InstalledClientVersion(programDir)));
  return reply.succeeded() && ReplyOffersUpdate(reply.body);
}

std::string UpdateMarkPath(const std::string& programDir) {
  return JoinFolder(programDir, "judgeUpdate.txt");
}

std::string WithoutIntroduceMark(const std::string& content) {
  const auto end = content.find('\n');
  std::string first = content.substr(0, end);
  const bool carriageReturn = !first.empty() && first.back() == '\r';
  if (carriageReturn) first.pop_back();
  if (first != "2") return content;
  return std::string("0") + (carriageReturn ? "\r" : "") +
         (end == std::string::npos ? "" : content.substr(end));
}

bool ClearIntroduceMark(const std::string& programDir) {
  const std::string path = UpdateMarkPath(programDir);
  std::string content;
  if (!platform::ReadWholeFile(path, content)) return !IsFile(path);
  const std::string cleared = WithoutIntroduceMark(content);
  if (cleared == content) return true;
  return platform::WriteFileAtomically(path, cleared, 0644);
}

}  // namespace zelklib
