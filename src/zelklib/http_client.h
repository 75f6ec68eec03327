#pragma once

#include <cstdint>
#include <string>

namespace zelklib {

// HTTP over libcurl for the library's exports: http and https only (also after redirects),
// redirects followed, proxies from the environment (http_proxy, https_proxy, no_proxy), a
// connection time-out so that a dead host fails in seconds, and a bound on the reply size.
struct HttpOptions {
  long connectTimeoutSeconds = 10;
  long totalTimeoutSeconds = 60;
  std::uint64_t maxBodyBytes = 64u << 20;
};

struct HttpReply {
  bool transferred = false;  // a reply arrived (of any status)
  long status = 0;
  std::string reason;  // reason phrase of the final status line, when the server gave one
  std::string contentType;
  std::string body;
  std::string error;  // why nothing arrived

  bool succeeded() const { return transferred && status >= 200 && status < 300; }
};

HttpReply HttpGet(const std::string& url, const HttpOptions& options = {});
// POSTs a form body (application/x-www-form-urlencoded, as the service's forms are).
HttpReply HttpPost(const std::string& url, const std::string& body,
                   const HttpOptions& options = {});

// Saves a reply body to a file through a temporary file in the same folder, renamed into place
// only after a complete 2xx reply; otherwise nothing is left behind. The reply's body is not
// kept in `HttpReply::body`.
HttpReply HttpDownloadToFile(const std::string& url, const std::string& path,
                             const HttpOptions& options = {});

// One line for a failed transfer: "HTTP 404 Not Found" (the status always between blanks, a
// placeholder reason when the server gave none) or the transport's error text.
std::string DescribeFailure(const HttpReply& reply);

}  // namespace zelklib
