#include "net/share_page.h"

#include "net/endpoints.h"
#include "net/service_requests.h"

namespace net {

std::vector<std::u16string> SharePageCodes(ShareTarget target) {
  switch (target) {
    case ShareTarget::All:
      return {u"qzone", u"tqq", u"tsina", u"hi"};
    case ShareTarget::QQZone:
      return {u"qzone"};
    case ShareTarget::QQWeiBo:
      return {u"tqq"};
    case ShareTarget::Sina:
      return {u"tsina"};
    case ShareTarget::Baidu:
      return {u"hi"};
    case ShareTarget::None:
      break;
  }
  return {};
}

std::vector<std::u16string> SharePageUrls(const core::ZelkLibBinding& lib, ShareTarget target,
                                          const std::u16string& loginSign,
                                          const std::u16string& fileName) {
  std::vector<std::u16string> urls;
  for (const std::u16string& code : SharePageCodes(target)) {
    std::optional<std::u16string> url =
        fileName.empty()
            ? ServiceRequestUrl(lib, endpoints::kShareTool, {code, loginSign})
            : ServiceRequestUrl(lib, endpoints::kShareDownload, {code, loginSign, fileName});
    if (url && !url->empty()) urls.push_back(UrlEncodeText(lib, *url));
  }
  return urls;
}

}  // namespace net
