#include "home/summary_counts.h"

#include "net/json_reply.h"
#include "net/text_conversion.h"

namespace home {

core::SummaryCountsPayload ReadSummaryReply(std::string_view replyAnsi) {
  const auto reply = net::ParseServiceReply(replyAnsi);
  if (!reply || net::ReplyResult(*reply) != 1) return {};
  return {net::ReplyInt(*reply, "installTotal"), net::ReplyInt(*reply, "appTotal")};
}

std::u16string SummaryCountText(std::int32_t total) {
  return total > 0 ? net::AnsiToWide(std::to_string(total)) : u"---";
}

}  // namespace home
