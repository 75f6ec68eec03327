#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "core/updater_launcher.h"
#include "core/zelk_lib_binding.h"
#include "platform/message_loop.h"

namespace core {

// Shared by the main window and its update-check worker.
struct UpdateCheckState {
  std::atomic<bool> checkRunning{false};
  std::atomic<bool> updateFound{false};
  // Set when the window goes away: a worker still in its start-up delay ends without checking,
  // so that closing the client is not held up by it.
  std::atomic<bool> abandoned{false};
};

// How long the check waits after start-up before it asks, so that it does not compete with the
// start-up requests.
inline constexpr std::int64_t kUpdateCheckDelayMs = 8000;

// Starts the background update check on a worker of the loop: after the delay (on the loop's
// clock) it asks the support library whether a newer version exists and, when one does, starts
// the updater without parameters unless one already runs. The client keeps running.
void DoCheckUpdate(platform::MessageLoop& loop, std::shared_ptr<UpdateCheckState> state,
                   const ZelkLibBinding& binding, std::u16string programDirectory,
                   UpdaterLauncher updater);

}  // namespace core
