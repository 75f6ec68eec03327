#include "net/service_requests.h"

#include "core/app_log.h"
#include "net/text_conversion.h"
#include "platform/service_host.h"

namespace net {

std::u16string ServiceBaseUrl() {
  return u"http://" + AnsiToWide(platform::ServiceHostAndPort());
}

std::u16string BuildServiceUrl(const core::ZelkLibBinding& lib,
                               const std::u16string& pathTemplate) {
  return lib.CombinURL(ServiceBaseUrl(), pathTemplate);
}

std::optional<std::u16string> ServiceRequestUrl(const core::ZelkLibBinding& lib,
                                                const std::u16string& pathTemplate,
                                                const std::vector<UrlValue>& values) {
  const std::u16string joined = BuildServiceUrl(lib, pathTemplate);
  // Without a joined base there are no placeholders to fill: the empty URL goes out and its
  // transfer fails the way every request fails without the library.
  if (joined.empty()) return joined;
  auto url = FormatServiceUrl(joined, values);
  if (!url) core::WriteLog(lib, u"请求网址超出长度限制，已取消请求:" + pathTemplate);
  return url;
}

std::u16string AddRandomUrlParam(const core::ZelkLibBinding& lib, const std::u16string& url) {
  std::u16string result = lib.CombinURLRandomParamArge(url);
  return result.empty() ? url : result;
}

std::u16string UrlEncodeText(const core::ZelkLibBinding& lib, const std::u16string& url) {
  return lib.UrlEncode(url);
}

std::string EncryptText(const core::ZelkLibBinding& lib, const std::string& ansiValue) {
  if (lib.symbol("EncryptStr") == nullptr) return ansiValue;
  return WideToAnsiString(lib.EncryptStr(AnsiToWide(ansiValue)));
}

std::u16string GetShortOSName(const core::ZelkLibBinding& lib) {
  if (lib.symbol("GetOSName") == nullptr) return {};
  const std::u16string name = lib.GetOSName();
  // The table reduces Windows names. Other systems' names carry version numbers of their own
  // ("Linux 6.1.0" would read as Windows 7), so they are reported as what they are.
  if (!name.empty() && !IsWindowsSystemName(name)) return u"Linux";
  return ShortOSNameFrom(name);
}

}  // namespace net
