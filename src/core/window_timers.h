#pragma once

#include <array>
#include <cstdint>

namespace core {

// Timers of the main window (ids as the features know them).
inline constexpr std::uint32_t kNewsTimer = 20;                // refresh the latest news
inline constexpr std::uint32_t kHeartbeatTimer = 30;           // heartbeat of the login
inline constexpr std::uint32_t kAdRotationTimer = 40;          // next advertisement
inline constexpr std::uint32_t kSummaryTimer = 50;             // usage counters
inline constexpr std::uint32_t kSmsCountdownTimer = 60;        // SMS code countdown
inline constexpr std::uint32_t kNetworkProbeTimer = 70;        // is the internet back?
inline constexpr std::uint32_t kKnowlegeQueueRetryTimer = 80;  // one retry of the queue
inline constexpr std::uint32_t kUnreadMessagesTimer = 90;      // unread-message count

// Every timer of the frame; other window timers belong to controls (animations and the like).
inline constexpr std::array<std::uint32_t, 8> kFrameTimers = {
    kNewsTimer,         kHeartbeatTimer,    kAdRotationTimer,         kSummaryTimer,
    kSmsCountdownTimer, kNetworkProbeTimer, kKnowlegeQueueRetryTimer, kUnreadMessagesTimer};

constexpr bool IsFrameTimer(std::uintptr_t id) {
  for (const std::uint32_t timer : kFrameTimers) {
    if (timer == id) return true;
  }
  return false;
}

inline constexpr std::int64_t kSmsCountdownPeriodMs = 1000;
inline constexpr std::int64_t kKnowlegeQueueRetryDelayMs = 10000;

struct TimerPeriod {
  std::uint32_t id;
  std::int64_t periodMs;
};

// The timers the start-up sequence starts; the SMS countdown and the queue retry are started by
// their features when they need them.
inline constexpr std::array<TimerPeriod, 6> kStartupTimers = {{
    {kNewsTimer, 300000},
    {kHeartbeatTimer, 180000},
    {kAdRotationTimer, 5000},
    {kSummaryTimer, 600000},
    {kNetworkProbeTimer, 10000},
    {kUnreadMessagesTimer, 60000},
}};

}  // namespace core
