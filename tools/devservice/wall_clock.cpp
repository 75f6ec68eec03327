#include "devservice/wall_clock.h"

#include <chrono>
#include <thread>

namespace devservice {

std::int64_t WallClock::nowMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void WallClock::sleepMs(std::int64_t ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace devservice
