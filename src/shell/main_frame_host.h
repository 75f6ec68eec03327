#pragma once

#include <memory>

#include "shell/main_window.h"
#include "skinui/ui_context.h"
#include "ui/main_frame.h"

namespace shell {

// The client's main window as the start-up sequence sees it: the main frame, created as the
// entry point creates it, in the window library that the start-up opened before it. It goes
// when the message loop has ended; the library stays.
class MainFrameHost final : public shell::ClientMainWindow {
 public:
  MainFrameHost(shell::MainWindowContext context, skinui::UiContext& ui);
  ~MainFrameHost() override;

  // Null when the main window cannot be created.
  static std::unique_ptr<shell::ClientMainWindow> Create(shell::MainWindowContext context,
                                                         skinui::UiContext& ui);

  platform::WindowId window() const override { return frame_->GetHWND(); }
  void CenterAndShow() override;
  void ProcessUrlProtocol(const std::u16string& request) override;

  bool created() const { return created_; }
  ui::CMainFrame& frame() { return *frame_; }

 private:
  std::unique_ptr<ui::CMainFrame> frame_;
  bool created_ = false;
};

}  // namespace shell
