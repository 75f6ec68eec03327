#pragma once

#include <memory>
#include <string>

#include "platform/message_loop.h"
#include "shell/update_check.h"
#include "shell/updater_launcher.h"
#include "shell/zelk_lib_binding.h"

namespace shell {

// What the start-up sequence needs of the client's main window.
class ClientMainWindow {
 public:
  virtual ~ClientMainWindow() = default;
  // The window's id in the message loop (messages of later starts are posted to it).
  virtual platform::WindowId window() const = 0;
  // Centres the window on the screen and shows it.
  virtual void CenterAndShow() = 0;
  // Interprets one "Zelk://" request.
  virtual void ProcessUrlProtocol(const std::u16string& request) = 0;
};

// Everything a main window is created with.
struct MainWindowContext {
  platform::MessageLoop& loop;
  const ZelkLibBinding& binding;
  std::string appDirectory;  // a file-system path
  UpdaterLauncher updater;
};

// The client's main window until the main frame takes over: it receives the requests of later
// starts, logs each request it is given, and runs the background update check once it is
// shown. Without a display, restoring and raising the window have nothing to act on.
class BasicMainWindow final : public ClientMainWindow, private platform::MessageTarget {
 public:
  explicit BasicMainWindow(MainWindowContext context);
  ~BasicMainWindow() override;

  platform::WindowId window() const override { return window_; }
  void CenterAndShow() override;
  void ProcessUrlProtocol(const std::u16string& request) override;

  // Handler of WM_URL_PROTOCOL_ARRIVED: reads the request a later start stored and processes
  // it; whatever happens there, the window is then restored and brought to the foreground.
  void OnUrlProtocolArrived();
  void DoCheckUpdate();
  const UpdateCheckState& updateCheckState() const { return *updateCheck_; }

 private:
  void onMessage(platform::Message& message) override;
  void RestoreAndBringToForeground();

  MainWindowContext context_;
  std::shared_ptr<UpdateCheckState> updateCheck_ = std::make_shared<UpdateCheckState>();
  platform::WindowId window_ = 0;
};

}  // namespace shell
