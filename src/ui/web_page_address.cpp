#include "ui/web_page_address.h"

#include "core/app_directory.h"
#include "net/service_requests.h"

namespace ui {

PageLogin PageLoginOf(const account::SessionState& state) {
  PageLogin login;
  if (!state.loggedIn || state.loginSign.empty()) return login;
  login.uid = state.uid < 0 ? 0 : state.uid;
  login.loginSign = core::AnsiTextToWide(state.loginSign);
  return login;
}

std::optional<std::u16string> ServicePageAddress(const core::ZelkLibBinding& lib,
                                                 const std::u16string& pathTemplate,
                                                 const std::vector<net::UrlValue>& values) {
  const auto address = net::ServiceRequestUrl(lib, pathTemplate, values);
  if (!address || address->empty()) return std::nullopt;
  return net::AddRandomUrlParam(lib, *address);
}

std::string LocalPageAddress(std::string_view appDirectory, std::string_view relativePath) {
  // The folder is absolute ("/…"), so the address has the usual three slashes.
  return "file://" + core::JoinAppPath(appDirectory, relativePath);
}

}  // namespace ui
