#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace appcenter {

// What one progress message of an app download changes on a row.
struct AppProgressUpdate {
  std::optional<int> progressValue;    // set when the percentage is above 0
  std::optional<std::u16string> text;  // set only when bytes came in since the last report
  std::int32_t lastDone = 0;
};

// The app center's item: size + "M - " + speed + "K/S", where size = total / 1024 / 1024 and
// speed = new bytes / 1024 × 10, both with two decimals.
AppProgressUpdate ItemProgress(std::int32_t total, std::int32_t done, std::int32_t lastDone);
// The download manager's row: "大小:" + size + "M - 进度:" + percent + "%".
AppProgressUpdate ManagerProgress(std::int32_t total, std::int32_t done, std::int32_t lastDone);

}  // namespace appcenter
