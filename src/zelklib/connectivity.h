#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "platform/clock.h"

namespace zelklib {

// Whether a TCP connection to "host:port" opens within the time-out (name lookup included).
bool CanConnect(const std::string& hostAndPort, int timeoutMs);

// Remembers the last answer for a target for at most `maxAgeMs`, so that the many workers that
// ask after a failed request cause one probe, not one each. Callers that arrive while a probe
// runs wait for its answer. Thread-safe.
class ConnectivityCache {
 public:
  using Probe = std::function<bool(const std::string& target)>;
  ConnectivityCache(platform::Clock& clock, Probe probe, std::int64_t maxAgeMs = 2000);

  bool reachable(const std::string& target);

 private:
  platform::Clock& clock_;
  Probe probe_;
  const std::int64_t maxAgeMs_;
  std::mutex mutex_;
  std::string target_;
  std::optional<std::int64_t> probedAtMs_;
  bool answer_ = false;
};

}  // namespace zelklib
