#include "home/ad_reply.h"

#include "net/json_reply.h"
#include "platform/file_name_sanitiser.h"

namespace home {

std::optional<std::vector<AdItem>> ReadAdReply(std::string_view replyAnsi) {
  const auto reply = net::ParseServiceReply(replyAnsi);
  if (!reply || net::ReplyResult(*reply) != 1) return std::nullopt;
  std::vector<AdItem> ads;
  const Json::Value& items = (*reply)["AdItems"];
  if (!items.isArray()) return ads;
  for (const Json::Value& item : items) {
    if (!item.isObject()) continue;
    ads.push_back({net::ReplyInt(item, "id"), net::ReplyText(item, "AdDesc"),
                   net::ReplyText(item, "AdImageURL"), net::ReplyText(item, "TargetURL")});
  }
  return ads;
}

std::string AdCacheFileName(std::int32_t id, const std::string& pictureFileName) {
  if (pictureFileName.empty()) return {};
  const auto name = platform::SanitiseFileName(std::to_string(id) + "_" + pictureFileName);
  return name.value_or(std::string());
}

}  // namespace home
