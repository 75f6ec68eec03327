#include "core/update_check.h"

#include <algorithm>

#include "core/app_log.h"

namespace core {
namespace {

// The delay is slept in slices so that an abandoned check ends promptly.
constexpr std::int64_t kDelaySliceMs = 100;

bool waitBeforeChecking(platform::Clock& clock, const UpdateCheckState& state) {
  for (std::int64_t left = kUpdateCheckDelayMs; left > 0; left -= kDelaySliceMs) {
    if (state.abandoned) return false;
    clock.sleepMs(std::min(left, kDelaySliceMs));
  }
  return !state.abandoned;
}

}  // namespace

void DoCheckUpdate(platform::MessageLoop& loop, std::shared_ptr<UpdateCheckState> state,
                   const ZelkLibBinding& binding, std::u16string programDirectory,
                   UpdaterLauncher updater) {
  state->checkRunning = true;
  platform::Clock& clock = loop.clock();
  loop.startWorker(
      [state, &binding, &clock, programDirectory = std::move(programDirectory), updater]() {
        state->checkRunning = true;
        if (!waitBeforeChecking(clock, *state)) {
          state->checkRunning = false;
          return;
        }
        bool found = false;
        try {
          found = binding.CheckNeedUpdate(programDirectory);
        } catch (...) {
          WriteLog(binding, std::u16string_view(u"检测更新出现未知异常"));
        }
        state->updateFound = found;
        state->checkRunning = false;
        if (found) updater.StartUpdater(true, "");
      });
}

}  // namespace core
