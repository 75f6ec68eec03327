#pragma once

#include <memory>
#include <string>

#include "core/message_presenter.h"
#include "core/zelk_lib_binding.h"
#include "platform/message_loop.h"
#include "platform/shell_open.h"
#include "skinui/automation_server.h"
#include "skinui/ui_context.h"
#include "skinui/window_backend.h"

namespace shell {

// The window library of the client's window thread, opened once the client is sure to run and
// before its first start-up message: the context (backend, skin folder, log, shell), the
// automation server when ZELK_AUTOMATION asks for one (reachable while a start-up message
// waits), and the way start-up messages are shown. With windows on a screen they appear in the
// program's message box; without one nobody could answer a waiting box, so they go to standard
// error and the log. It outlives every window of the client.
class WindowLibrary final : public core::MessagePresenter {
 public:
  WindowLibrary(platform::MessageLoop& loop, std::unique_ptr<skinui::WindowBackend> backend,
                std::string skinFolder, const core::ZelkLibBinding& binding,
                platform::ShellLauncher& shell, bool onScreen);
  ~WindowLibrary() override;
  WindowLibrary(const WindowLibrary&) = delete;
  WindowLibrary& operator=(const WindowLibrary&) = delete;

  skinui::UiContext& context() { return context_; }
  void ShowMessage(const core::MessageBoxRequest& request) override;

 private:
  skinui::UiContext context_;
  core::StandardErrorPresenter standardError_;
  bool onScreen_;
  std::unique_ptr<skinui::AutomationServer> automation_;
};

}  // namespace shell
