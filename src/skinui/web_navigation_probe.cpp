#include "skinui/web_navigation_probe.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace skinui {

namespace {

std::size_t Discard(char*, std::size_t size, std::size_t count, void*) {
  return size * count;
}

}  // namespace

ProbeResult ProbeUrl(const std::string& url, long timeoutMs) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  ProbeResult result;
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
  if (!curl) {
    result.error = "cannot start a transfer";
    return result;
  }
  curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, timeoutMs);
  curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, std::min(timeoutMs, 5000L));
  curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &Discard);
  const CURLcode code = curl_easy_perform(curl.get());
  long status = 0;
  curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
  if (status > 0) {
    result.replied = true;
    result.status = static_cast<int>(status);
  } else {
    result.error = curl_easy_strerror(code);
  }
  return result;
}

}  // namespace skinui
