#pragma once

#include <memory>

#include "platform/shell_open.h"
#include "shell/main_window.h"
#include "skinui/automation_server.h"
#include "skinui/ui_context.h"
#include "skinui/window_backend.h"
#include "ui/main_frame.h"

namespace shell {

// The client's main window as the start-up sequence sees it: the window thread's window-library
// context (its backend, the skin folder of the program, the log, the shell), the automation
// server when ZELK_AUTOMATION asks for one, and the main frame, created as the entry point
// creates it. Everything goes when the message loop has ended.
class MainFrameHost final : public shell::ClientMainWindow {
 public:
  MainFrameHost(shell::MainWindowContext context, std::unique_ptr<skinui::WindowBackend> backend,
                platform::ShellLauncher& shell);
  ~MainFrameHost() override;

  // Null when the main window cannot be created.
  static std::unique_ptr<shell::ClientMainWindow> Create(
      shell::MainWindowContext context, std::unique_ptr<skinui::WindowBackend> backend,
      platform::ShellLauncher& shell);

  platform::WindowId window() const override { return frame_->GetHWND(); }
  void CenterAndShow() override;
  void ProcessUrlProtocol(const std::u16string& request) override;

  bool created() const { return created_; }
  ui::CMainFrame& frame() { return *frame_; }

 private:
  skinui::UiContext ui_;
  std::unique_ptr<ui::CMainFrame> frame_;
  std::unique_ptr<skinui::AutomationServer> automation_;
  bool created_ = false;
};

}  // namespace shell
