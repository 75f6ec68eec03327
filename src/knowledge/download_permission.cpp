#include "knowledge/download_permission.h"

#include "core/window_messages.h"
#include "net/endpoints.h"
#include "net/json_reply.h"
#include "net/service_requests.h"
#include "net/service_transfer.h"
#include "net/text_conversion.h"

namespace knowledge {

DownloadPermission ReadPermissionReply(std::string_view replyAnsi) {
  const auto reply = net::ParseServiceReply(replyAnsi);
  if (!reply) return {0, kPermissionUnreadableText};
  return {net::ReplyResult(*reply), net::AnsiToWide(net::ReplyText(*reply, "msg"))};
}

DownloadPermission AskDownloadPermission(const core::ServiceContext& context, std::int32_t uid) {
  try {
    const core::ZelkLibBinding& lib = context.binding();
    // A URL that cannot be formed is sent empty: its transfer fails like any unreachable one.
    const std::u16string url =
        net::ServiceRequestUrl(lib, net::endpoints::kKnowledgeDownloadPermission, {uid})
            .value_or(u"");
    std::string reply;
    if (net::GetServiceContent(lib, url, reply)) return ReadPermissionReply(reply);
    if (net::CanVisitInternet(lib)) return {0, kPermissionUnreachableText};
    context.postToMainWindow(core::WM_NETWORK_ERROR);
    return {0, kPermissionNoNetworkText};
  } catch (...) {
    return {0, kPermissionFailedText};
  }
}

}  // namespace knowledge
