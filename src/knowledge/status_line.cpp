#include "knowledge/status_line.h"

#include <cstdio>

namespace knowledge {
namespace {

constexpr int kPrecision = 2;

std::u16string ascii(const std::string& text) {
  return std::u16string(text.begin(), text.end());
}

std::u16string formatNumber(float value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", kPrecision, static_cast<double>(value));
  return ascii(buffer);
}

}  // namespace

std::u16string RemainingTimeText(std::int64_t seconds) {
  std::int64_t hours = 0;
  if (seconds > 3600) {
    hours = seconds / 3600;
    seconds %= 3600;
  }
  const std::int64_t minutes = seconds / 60;
  seconds %= 60;
  std::u16string text;
  if (hours >= 1) text += ascii(std::to_string(hours)) + u"时";
  if (minutes >= 1) text += ascii(std::to_string(minutes)) + u"分";
  return text + ascii(std::to_string(seconds)) + u"秒";
}

StatusLineUpdate UpdateStatus(std::int32_t total, std::int32_t done, std::int32_t lastDone) {
  StatusLineUpdate update;
  // A total of 0 or less (a server that sent nonsense) has no percentage rather than a division
  // by zero.
  float percent = total > 0 ? static_cast<float>(done) / static_cast<float>(total) * 100.0f : 0.0f;
  if (percent > 100.0f) percent = 100.0f;
  if (percent > 0.0f) update.progressValue = static_cast<int>(percent);

  const std::int64_t delta = static_cast<std::int64_t>(done) - lastDone;
  update.lastDone = done;
  if (delta <= 0) return update;

  const float sizeMB = static_cast<float>(total) / 1024.0f / 1024.0f;
  const float speedKB = static_cast<float>(delta) / 1024.0f * 2.0f;
  const float left = static_cast<float>(static_cast<std::int64_t>(total) - done) /
                     (2.0f * static_cast<float>(delta));
  // Bytes beyond the total (the last message of a longer local file) leave nothing to wait for.
  const std::int64_t seconds = left > 0.0f ? static_cast<std::int64_t>(left) : 0;

  update.status = u"下载状态:文件大小:" + formatNumber(sizeMB) + u"M - 下载进度:" +
                  formatNumber(percent) + u"% - 下载速度:" + formatNumber(speedKB) +
                  u"K/S - 剩余时间:" + RemainingTimeText(seconds);
  return update;
}

}  // namespace knowledge
