#pragma once

#include "platform/clock.h"

namespace devservice {

// Milliseconds since the Unix epoch. The service keeps expiry times in its state folder, so
// they must mean the same after a restart; tests hand the service a platform::ManualClock.
class WallClock final : public platform::Clock {
 public:
  std::int64_t nowMs() const override;
  void sleepMs(std::int64_t ms) override;
};

}  // namespace devservice
