#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "account/user_session.h"
#include "core/zelk_lib_binding.h"
#include "net/service_url_format.h"

namespace ui {

// The login fields a page address carries: without a login sign the id is 0, and an id below 0
// is sent as 0, so that the service never sees a half login.
struct PageLogin {
  std::int32_t uid = 0;
  std::u16string loginSign;
};
PageLogin PageLoginOf(const account::SessionState& state);

// A service page address: the path joined to the service base, its placeholders filled and a
// random argument added so that no cache answers for the service. nullopt when the values do not
// fit the path (or the address would exceed the request limit).
std::optional<std::u16string> ServicePageAddress(const core::ZelkLibBinding& lib,
                                                 const std::u16string& pathTemplate,
                                                 const std::vector<net::UrlValue>& values);

// The address of a page shipped in the program folder ("file://" and its absolute path).
std::string LocalPageAddress(std::string_view appDirectory, std::string_view relativePath);

}  // namespace ui
