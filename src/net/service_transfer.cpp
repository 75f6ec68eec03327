#include "net/service_transfer.h"

#include <cstdlib>

#include "core/app_log.h"
#include "core/window_messages.h"
#include "net/text_conversion.h"

namespace net {
namespace {

// The ANSI reply, converted back to wide text, holds the operator's marker.
bool isHijacked(const std::string& replyAnsi) {
  return AnsiToWide(replyAnsi).find(kHijackMarker) != std::u16string::npos;
}

}  // namespace

bool IsSuccessStatus(const std::u16string& status) {
  return std::atoi(WideToAnsiString(status).c_str()) == 1;
}

bool GetServiceContent(const core::ZelkLibBinding& lib, const std::u16string& url,
                       std::string& replyAnsi) {
  for (int attempt = 1;; ++attempt) {
    std::u16string status;
    const std::u16string reply = lib.GetWebContent(url, status);
    const bool ok = IsSuccessStatus(status);
    WideToAnsi(replyAnsi, reply);
    if (!isHijacked(replyAnsi)) return ok;
    core::WriteLog(lib, std::u16string_view(u"本次请求被网络运行商重定向劫持，需要重新请求."));
    if (attempt == kMaxGetAttempts) return ok;
  }
}

bool PostServiceContent(const core::ZelkLibBinding& lib, const std::u16string& url,
                        const std::u16string& body, std::string& replyAnsi) {
  std::u16string status;
  const std::u16string reply = lib.PostWebContent(url, body, status);
  WideToAnsi(replyAnsi, reply);
  return IsSuccessStatus(status);
}

int DownloadImageFile(const core::ZelkLibBinding& lib, const std::u16string& url,
                      const std::u16string& localPath) {
  // The binding logs what the library raises; here only the library's own error text counts.
  if (url.empty()) return 0;
  std::u16string error;
  const int saved = lib.DownloadImageByUrl(url, localPath, error);
  if (saved != 0) return saved;
  const auto at = error.find(u" 404 ");
  if (at != std::u16string::npos && at > 0) core::WriteLog(lib, std::u16string_view(error));
  return 0;
}

bool CanVisitInternet(const core::ZelkLibBinding& lib) {
  return lib.CheckCanVisitInternent();
}

void ReportRequestFailure(const core::ServiceContext& context) {
  if (!CanVisitInternet(context.binding())) context.postToMainWindow(core::WM_NETWORK_ERROR);
}

}  // namespace net
