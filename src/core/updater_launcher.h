#pragma once

#include <string>

#include "core/zelk_lib_binding.h"
#include "platform/shell_open.h"

namespace core {

// Starts the updater program beside the client and installs a new updater that an update left
// in the waiting folder. Copyable: it refers to a binding and a shell launcher that outlive it.
class UpdaterLauncher {
 public:
  UpdaterLauncher(const ZelkLibBinding& binding, platform::ShellLauncher& launcher,
                  std::string appDirectory);  // a file-system path

  // Starts the updater with the parameter text through the shell "open" verb, the program
  // directory as working directory. With `skipIfRunning`, nothing happens while an updater of
  // this session runs. The result of the start is not examined.
  void StartUpdater(bool skipIfRunning, const std::string& parameters) const;

  // When a new updater waits in the waiting folder: keeps the current one as the old updater,
  // puts the new one in its place and removes the waiting copy. Each replacement is atomic, and
  // the waiting copy is removed only once the new updater is in place, so a failed copy never
  // loses the new updater nor leaves a torn program file.
  void InstallWaitingUpdater() const;

 private:
  const ZelkLibBinding& binding_;
  platform::ShellLauncher& launcher_;
  std::string appDirectory_;
};

}  // namespace core
