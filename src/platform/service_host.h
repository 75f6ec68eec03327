#pragma once

#include <string>

namespace platform {

// The host of the web service: ZELK_SERVICE_HOST when set (a host, or host:port), else the
// build's default. Read at every call so that tests and the local service can redirect it.
std::string ServiceHost();
// The service host with the web service's port 8096 appended unless it already names a port.
std::string ServiceHostAndPort();
// Pure part of ServiceHostAndPort: "host" -> "host:8096", "host:81" stays, a bare IPv6
// address gets brackets ("::1" -> "[::1]:8096"), "[::1]:81" stays.
std::string WithDefaultPort(const std::string& host, int port);

// Splits "host:port", "[v6]:port", "host" or a bare IPv6 address into host and port (the
// default when none is named). False for an empty host or a port that is not 1..65535.
bool SplitHostAndPort(const std::string& text, int defaultPort, std::string& host, int& port);

inline constexpr int kServicePort = 8096;

}  // namespace platform
