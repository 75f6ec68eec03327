#pragma once

#include <string>

namespace skinui {

struct ProbeResult {
  bool replied = false;  // an HTTP reply came
  int status = 0;        // its status code
  std::string error;     // why no reply came
};

// Fetches a URL with a real request (redirects followed, bounded time) and reports how it
// answered. Blocking: call it on a worker.
ProbeResult ProbeUrl(const std::string& url, long timeoutMs = 10000);

}  // namespace skinui
