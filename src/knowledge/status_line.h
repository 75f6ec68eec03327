#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace knowledge {

// What one progress message changes on a downloading row.
struct StatusLineUpdate {
  std::optional<int> progressValue;      // new value of the row's progress bar (0-100)
  std::optional<std::u16string> status;  // new status line; unset: the line keeps its text
  std::int32_t lastDone = 0;             // the row's new lastDone
};

// The row's reaction to a progress message (total, done) given the bytes done at the previous
// one. Progress messages come every 500 ms, so twice the bytes of one interval is the rate per
// second. Arithmetic in single precision, as the status line has always been computed.
StatusLineUpdate UpdateStatus(std::int32_t total, std::int32_t done, std::int32_t lastDone);

// "1时2分5秒", "59秒", "60分0秒" (an exact hour stays in minutes).
std::u16string RemainingTimeText(std::int64_t seconds);

}  // namespace knowledge
