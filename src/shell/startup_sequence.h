#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/message_presenter.h"
#include "core/zelk_lib_binding.h"
#include "platform/instance_channel.h"
#include "platform/message_loop.h"
#include "platform/shell_open.h"
#include "shell/main_window.h"

namespace shell {

// What one start of the program turned out to be.
enum class StartOutcome {
  LibraryMissing,  // the support library could not be loaded: message, exit
  HandedOff,       // another instance runs: its request (if any) was passed on, exit
  Updater,         // an update waits: the updater was started, exit
  Client,          // the client ran its message loop (or stopped on a start-up failure)
  Aborted,         // an unexpected failure ended the start
};

using MainWindowFactory = std::function<std::unique_ptr<ClientMainWindow>(MainWindowContext)>;
using InstanceListenerStarter = std::function<std::unique_ptr<platform::InstanceListener>(
    const std::string& programFileName, platform::InstanceListener::Handler handler)>;

// Preparations of the window library before the main window exists. Each is optional: a
// backend without the facility leaves it empty.
struct WindowingSetup {
  // Opens the window library with the skin folder as its resource path, once the client is
  // sure to run. Answers what shows the start-up messages from then on (the library's message
  // box); null keeps the environment's presenter.
  std::function<core::MessagePresenter*(const std::string& skinFolder)> open;
  std::function<void()> registerShadowWindowClass;
  std::function<void()> clearUrlCache;
};

// Everything the start-up sequence works with, so that tests can supply their own.
struct StartupEnvironment {
  const core::ZelkLibBinding& binding;
  std::string appDirectory;  // the program directory as a file-system path
  std::string serviceHost;   // handed to the interface shared memory
  platform::MessageLoop& loop;
  platform::ShellLauncher& launcher;
  // Shows the start-up messages until the window library is open.
  core::MessagePresenter& presenter;
  MainWindowFactory createMainWindow;
  InstanceListenerStarter startListener;
  WindowingSetup windowing;
  // Reports the missing support library where no log can be written (standard error).
  std::function<void(const std::u16string& text)> reportLibraryMissing;
};

// The program's start: binds nothing itself (the binding is given), decides what this start is
// for and does exactly one of handing a request to the running instance, starting the updater,
// or running the client until its message loop ends.
class StartupSequence {
 public:
  explicit StartupSequence(StartupEnvironment environment);

  // `commandLine` is the joined command line as received, double quotes still in it.
  StartOutcome Run(const std::string& commandLine);

 private:
  void HandOffToRunningInstance(const std::u16string& commandLine, bool isUrlRequest);
  void StartPendingUpdate();
  StartOutcome RunClient(const std::u16string& commandLine, bool isUrlRequest);
  void CheckEnvironment();
  void log(std::u16string_view line) const;

  StartupEnvironment env_;
  std::u16string programDirectory_;
  core::MessagePresenter* presenter_;
};

}  // namespace shell
