#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace home {

// One advertisement of the service (ANSI texts; a null value reads as empty).
struct AdItem {
  std::int32_t id = 0;
  std::string adDesc;      // the tooltip
  std::string adImageUrl;  // the picture
  std::string targetUrl;   // what a click opens; nothing when empty
};

// The advertisements of a reply whose "result" is 1; nothing for any other reply.
std::optional<std::vector<AdItem>> ReadAdReply(std::string_view replyAnsi);

// The picture cache's file name of an advertisement: its id, "_", and the file name of its
// picture made safe to name a file; empty when the picture's name cannot name one.
std::string AdCacheFileName(std::int32_t id, const std::string& pictureFileName);

}  // namespace home
