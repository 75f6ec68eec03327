#pragma once

#include <string>

#include "core/service_context.h"

namespace net {

// What a usage report says happened; the value is sent as behaviorKind.
enum class BehaviorKind : int {
  AppStarted = 1,            // a home app button started its program (name: the app's)
  Knowledge = 2,             // "KnowlegeSearch" or "KnowlegeDownload"
  AdvertisementClicked = 4,  // "HomePage_Advertisement"
  AppDownloadStarted = 6,    // an app download started in the app center (name: the app's)
};

// Fire-and-forget reports on a worker of their own; they return at once, never retry and
// never show anything. A failed report only raises the network-lost signal.
void ReportUserBehavior(const core::ServiceContext& context, const std::u16string& behaviorName,
                        BehaviorKind kind);
void ReportClientStart(const core::ServiceContext& context);

}  // namespace net
