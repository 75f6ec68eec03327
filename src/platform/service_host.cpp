#include "platform/service_host.h"

#include <algorithm>
#include <cstdlib>

#ifndef ZELK_DEFAULT_SERVICE_HOST
#error "ZELK_DEFAULT_SERVICE_HOST must be defined by the build"
#endif

namespace platform {
namespace {

bool parsePort(const std::string& text, int& port) {
  if (text.empty() || text.size() > 5) return false;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  const int value = std::atoi(text.c_str());
  if (value < 1 || value > 65535) return false;
  port = value;
  return true;
}

}  // namespace

std::string ServiceHost() {
  const char* fromEnvironment = std::getenv("ZELK_SERVICE_HOST");
  if (fromEnvironment != nullptr && *fromEnvironment != '\0') return fromEnvironment;
  return ZELK_DEFAULT_SERVICE_HOST;
}

bool SplitHostAndPort(const std::string& text, int defaultPort, std::string& host, int& port) {
  port = defaultPort;
  if (text.empty()) return false;
  if (text.front() == '[') {
    const auto close = text.find(']');
    if (close == std::string::npos || close == 1) return false;
    host = text.substr(1, close - 1);
    const std::string rest = text.substr(close + 1);
    if (rest.empty()) return true;
    return rest.front() == ':' && parsePort(rest.substr(1), port);
  }
  const auto colons = std::count(text.begin(), text.end(), ':');
  if (colons > 1) {  // a bare IPv6 address
    host = text;
    return true;
  }
  if (colons == 0) {
    host = text;
    return true;
  }
  const auto colon = text.find(':');
  host = text.substr(0, colon);
  return !host.empty() && parsePort(text.substr(colon + 1), port);
}

std::string WithDefaultPort(const std::string& host, int port) {
  if (host.empty()) return host;
  if (host.front() == '[') {
    return host.find("]:") == std::string::npos ? host + ":" + std::to_string(port) : host;
  }
  const auto colons = std::count(host.begin(), host.end(), ':');
  if (colons == 1) return host;
  if (colons > 1) return "[" + host + "]:" + std::to_string(port);
  return host + ":" + std::to_string(port);
}

std::string ServiceHostAndPort() {
  return WithDefaultPort(ServiceHost(), kServicePort);
}

}  // namespace platform
