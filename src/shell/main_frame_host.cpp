#include "shell/main_frame_host.h"

namespace shell {

MainFrameHost::MainFrameHost(shell::MainWindowContext context, skinui::UiContext& ui)
    : frame_(std::make_unique<ui::CMainFrame>(
          ui, ui::MainFrameEnvironment{context.binding, context.dataDirectory, context.updater})) {
  created_ = frame_->CreateMainWindow();
}

MainFrameHost::~MainFrameHost() = default;

std::unique_ptr<shell::ClientMainWindow> MainFrameHost::Create(shell::MainWindowContext context,
                                                               skinui::UiContext& ui) {
  auto host = std::make_unique<MainFrameHost>(std::move(context), ui);
  if (!host->created()) return nullptr;
  return host;
}

void MainFrameHost::CenterAndShow() {
  frame_->CenterWindow();
  frame_->ShowWindow(true, true);
}

void MainFrameHost::ProcessUrlProtocol(const std::u16string& request) {
  frame_->ProcessUrlProtocol(request);
}

}  // namespace shell

// Sanitizer builds of the program: fontconfig keeps its configuration and caches until the
// process ends, and Pango hands fonts over through GLib primitives the thread checker cannot
// see; neither is a fault of the client. Weak, so that the program's own entry point may name
// suppressions of its own instead.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
extern "C" __attribute__((weak)) const char* __tsan_default_suppressions() {
  return "race:libfontconfig.so\nrace:libglib-2.0.so\nrace:libcairo.so\nrace:libpango\n";
}
