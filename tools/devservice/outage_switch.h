#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace devservice {

class Request;

// A test switch: the next N requests of a path are answered with "503 Service Unavailable", as
// by a service that is up but cannot answer, so that a test sees the client's handling of a
// failed request while the host stays reachable. A condition (a parameter and its value)
// narrows it to the requests that carry it, e.g. one operation of a path that serves several.
// Paths are normalised as requests are. Safe to use from every thread.
class OutageSwitch {
 public:
  struct Condition {
    std::string parameter;
    std::string value;
  };

  // At most this many armed outages at once; arm() refuses more.
  static constexpr std::size_t kMaxArmed = 64;

  // Replaces the outage of the same path and condition; a count of 0 forgets it. False when
  // too many are armed.
  bool arm(const std::string& path, std::optional<Condition> condition, int count);
  // True (and one use consumed) when this request is to fail.
  bool take(const Request& request);

 private:
  struct Armed {
    std::string path;
    std::optional<Condition> condition;
    int remaining = 0;
  };

  std::mutex mutex_;
  std::vector<Armed> armed_;  // guarded by mutex_
};

}  // namespace devservice
