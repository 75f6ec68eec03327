#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/zelk_lib_binding.h"
#include "net/service_url_format.h"

namespace net {

// "http://" + the service host + ":8096" (or the port the host setting names).
std::u16string ServiceBaseUrl();
// The template joined to the service base by the support library; empty without it.
std::u16string BuildServiceUrl(const core::ZelkLibBinding& lib, const std::u16string& pathTemplate);
// A request URL: the template joined to the service base and filled with its values. A URL
// that would not fit the request limit is refused with a log line, never cut. Without the
// library the URL is empty, and the request then fails like any transfer without it.
std::optional<std::u16string> ServiceRequestUrl(const core::ZelkLibBinding& lib,
                                                const std::u16string& pathTemplate,
                                                const std::vector<UrlValue>& values);
// The URL with an argument that defeats caches; the URL itself when the library cannot.
std::u16string AddRandomUrlParam(const core::ZelkLibBinding& lib, const std::u16string& url);
// A whole URL escaped by the support library; the input when it cannot.
std::u16string UrlEncodeText(const core::ZelkLibBinding& lib, const std::u16string& url);
// The sealed form of a secret (ANSI in, ANSI out) that only the service can open; the plain
// value without the library.
std::string EncryptText(const core::ZelkLibBinding& lib, const std::string& ansiValue);
// The short system name reported to the service; empty without the library.
std::u16string GetShortOSName(const core::ZelkLibBinding& lib);

}  // namespace net
