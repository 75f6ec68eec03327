#include "appcenter/app_progress_text.h"

#include <cstdio>

#include "platform/code_page.h"

namespace appcenter {
namespace {

std::u16string TwoDecimals(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
  return platform::Utf8ToUtf16(text);
}

float Percent(std::int32_t total, std::int32_t done) {
  if (total <= 0) return done > 0 ? 100.0f : 0.0f;
  const float percent = static_cast<float>(done) / static_cast<float>(total) * 100.0f;
  return percent > 100.0f ? 100.0f : percent;
}

float SizeMb(std::int32_t total) {
  return static_cast<float>(total) / 1024.0f / 1024.0f;
}

template <class MakeText>
AppProgressUpdate Update(std::int32_t total, std::int32_t done, std::int32_t lastDone,
                         MakeText makeText) {
  AppProgressUpdate update;
  const float percent = Percent(total, done);
  if (percent > 0.0f) update.progressValue = static_cast<int>(percent);
  const std::int64_t delta = static_cast<std::int64_t>(done) - lastDone;
  if (delta > 0) update.text = makeText(percent, delta);
  update.lastDone = done;
  return update;
}

}  // namespace

AppProgressUpdate ItemProgress(std::int32_t total, std::int32_t done, std::int32_t lastDone) {
  return Update(total, done, lastDone, [total](float, std::int64_t delta) {
    const float speed = static_cast<float>(delta) / 1024.0f * 10.0f;
    return TwoDecimals(SizeMb(total)) + u"M - " + TwoDecimals(speed) + u"K/S";
  });
}

AppProgressUpdate ManagerProgress(std::int32_t total, std::int32_t done, std::int32_t lastDone) {
  return Update(total, done, lastDone, [total](float percent, std::int64_t) {
    return u"大小:" + TwoDecimals(SizeMb(total)) + u"M - 进度:" + TwoDecimals(percent) + u"%";
  });
}

}  // namespace appcenter
