#pragma once

#include <string>

#include "core/update_check.h"
#include "core/updater_launcher.h"
#include "core/zelk_lib_binding.h"
#include "platform/message_loop.h"

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
  const core::ZelkLibBinding& binding;
  std::string dataDirectory;  // the user's writable state, a file-system path
  core::UpdaterLauncher updater;
};

}  // namespace shell
