#pragma once

#include <functional>
#include <string>

#include "core/zelk_lib_binding.h"
#include "platform/clock.h"
#include "platform/shell_open.h"

namespace updater {

// What installing the waiting update came to.
enum class InstallResult {
  Installed,       // unpacked; the mark now asks for the introduction
  NothingWaiting,  // no package; the mark was cleared
  Failed,          // the package could not be unpacked; the mark was cleared
  ClientStillRuns  // the client did not end in time; nothing was touched
};

// Installs the package a previous run fetched: waits for the client to end, unpacks the package
// over the program directory, marks the introduction of the new version and starts the client
// again. A package that cannot be installed is dropped from the mark, so the client is not sent
// back to the updater on every start.
class UpdateInstaller {
 public:
  UpdateInstaller(const core::ZelkLibBinding& binding, platform::Clock& clock,
                  platform::ShellLauncher& launcher, std::string appDirectory,
                  std::function<bool()> clientRuns);

  InstallResult Run();

  // How long the client may take to end, and how often it is looked for.
  static constexpr std::int64_t kClientExitTimeoutMs = 30000;
  static constexpr std::int64_t kClientPollMs = 200;

 private:
  bool WaitForClientExit();
  InstallResult Install();
  void StartClient();

  const core::ZelkLibBinding& binding_;
  platform::Clock& clock_;
  platform::ShellLauncher& launcher_;
  std::string appDirectory_;
  std::function<bool()> clientRuns_;
};

}  // namespace updater
