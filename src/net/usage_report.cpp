#include "net/usage_report.h"

#include <optional>
#include <vector>

#include "net/endpoints.h"
#include "net/service_requests.h"
#include "net/service_transfer.h"

namespace net {
namespace {

void sendReport(const core::ServiceContext& context, const std::u16string& pathTemplate,
                std::vector<UrlValue> values) {
  const core::ZelkLibBinding& lib = context.binding();
  const std::u16string identity[] = {GetShortOSName(lib), lib.GetMacAddress(),
                                     lib.GetComputerName()};
  values.insert(values.begin(), std::begin(identity), std::end(identity));
  std::optional<std::u16string> url = ServiceRequestUrl(lib, pathTemplate, values);
  if (!url) return;
  // The worker owns its copy of the URL and the context.
  context.loop->startWorker([context, url = std::move(*url)] {
    std::string reply;
    if (!GetServiceContent(context.binding(), url, reply)) ReportRequestFailure(context);
  });
}

}  // namespace

void ReportUserBehavior(const core::ServiceContext& context, const std::u16string& behaviorName,
                        BehaviorKind kind) {
  sendReport(context, endpoints::kRecordUserBehavior,
             {behaviorName, static_cast<std::int32_t>(kind)});
}

void ReportClientStart(const core::ServiceContext& context) {
  sendReport(context, endpoints::kRecordClientStart, {});
}

}  // namespace net
