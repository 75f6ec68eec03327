#pragma once

#include <string>

#include "core/service_context.h"

namespace net {

// The network operator's page that replaces a reply when it hijacks a request.
inline constexpr char16_t kHijackMarker[] = u"ipush_jsp/server.jsp";
// A GET is sent at most this often while its replies are hijacked.
inline constexpr int kMaxGetAttempts = 6;

// The client's blocking request operations, called on worker threads only. The reply of the
// last attempt replaces `replyAnsi` (system code page text, ready for the JSON parser); the
// result is true when the library's status text reads 1.
bool GetServiceContent(const core::ZelkLibBinding& lib, const std::u16string& url,
                       std::string& replyAnsi);
// One attempt; a hijacked reply is returned as it is.
bool PostServiceContent(const core::ZelkLibBinding& lib, const std::u16string& url,
                        const std::u16string& body, std::string& replyAnsi);
// Saves a picture at `localPath`; non-zero when saved. A failure whose error text names a
// " 404 " after other text is logged.
int DownloadImageFile(const core::ZelkLibBinding& lib, const std::u16string& url,
                      const std::u16string& localPath);
bool CanVisitInternet(const core::ZelkLibBinding& lib);
// After a failed request: tells the main window that the network is lost, unless the internet
// is still reachable (then the failure was the service's own).
void ReportRequestFailure(const core::ServiceContext& context);

// The status text of a transfer counts as success when it reads as the number 1 the way atoi
// reads it ("01" and "1x" count, "" does not).
bool IsSuccessStatus(const std::u16string& status);

}  // namespace net
