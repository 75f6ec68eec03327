#pragma once

#include <string>
#include <string_view>

#include "core/window_payloads.h"

namespace home {

// The two totals of the service's statistics that the home page shows; both 0 for a reply
// that is not a success.
core::SummaryCountsPayload ReadSummaryReply(std::string_view replyAnsi);

// A total as its label shows it: the decimal number, or "---" when there is none to show (0, a
// failure, or a negative count no service can mean).
std::u16string SummaryCountText(std::int32_t total);

}  // namespace home
