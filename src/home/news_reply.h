#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace home {

// One item of the service's latest news (ANSI texts; a null value reads as empty).
struct NewsItem {
  std::string title;
  std::string url;
};

// The news of a reply whose "result" is 1; nothing for any other reply.
std::optional<std::vector<NewsItem>> ReadNewsReply(std::string_view replyAnsi);

// What a news row shows of a title: lower-cased, cleaned of markup and line breaks, and cut to
// its first 20 characters (never inside a character).
std::u16string NewsRowTitle(std::u16string_view title);

}  // namespace home
