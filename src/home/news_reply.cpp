#include "home/news_reply.h"

#include <algorithm>

#include "net/json_reply.h"
#include "net/text_conversion.h"

namespace home {
namespace {

constexpr std::size_t kRowTitleLength = 20;

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c < 0xDC00;
}

}  // namespace

std::optional<std::vector<NewsItem>> ReadNewsReply(std::string_view replyAnsi) {
  const auto reply = net::ParseServiceReply(replyAnsi);
  if (!reply || net::ReplyResult(*reply) != 1) return std::nullopt;
  std::vector<NewsItem> news;
  const Json::Value& items = (*reply)["news"];
  if (!items.isArray()) return news;
  for (const Json::Value& item : items) {
    if (!item.isObject()) continue;
    news.push_back({net::ReplyText(item, "title"), net::ReplyText(item, "url")});
  }
  return news;
}

std::u16string NewsRowTitle(std::u16string_view title) {
  std::u16string lower(title);
  std::ranges::transform(lower, lower.begin(), [](char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
  });
  std::u16string shown = net::CleanDisplayText(lower);
  if (shown.size() > kRowTitleLength) {
    std::size_t cut = kRowTitleLength;
    if (IsHighSurrogate(shown[cut - 1])) --cut;
    shown.resize(cut);
  }
  return shown;
}

}  // namespace home
