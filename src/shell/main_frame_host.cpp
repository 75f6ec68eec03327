#include "shell/main_frame_host.h"

#include "core/app_directory.h"
#include "core/app_log.h"
#include "core/program_files.h"
#include "platform/code_page.h"

namespace shell {

using namespace core;

MainFrameHost::MainFrameHost(shell::MainWindowContext context,
                             std::unique_ptr<skinui::WindowBackend> backend,
                             platform::ShellLauncher& shell)
    : ui_(context.loop, std::move(backend),
          core::JoinAppPath(context.appDirectory, core::kSkinFolder)) {
  const core::ZelkLibBinding& binding = context.binding;
  ui_.SetShell(&shell);
  ui_.SetLogSink([&binding](const std::string& line) {
    core::WriteLog(binding, std::u16string_view(platform::Utf8ToUtf16(line)));
  });
  frame_ = std::make_unique<ui::CMainFrame>(
      ui_, ui::MainFrameEnvironment{context.binding, context.appDirectory, context.updater});
  created_ = frame_->CreateMainWindow();
  // After the main window, so that it is the first window the automation sees.
  if (created_) automation_ = skinui::AutomationServer::StartFromEnvironment(ui_);
}

MainFrameHost::~MainFrameHost() {
  if (automation_) automation_->Stop();
  automation_.reset();
  frame_.reset();
}

std::unique_ptr<shell::ClientMainWindow> MainFrameHost::Create(
    shell::MainWindowContext context, std::unique_ptr<skinui::WindowBackend> backend,
    platform::ShellLauncher& shell) {
  auto host = std::make_unique<MainFrameHost>(std::move(context), std::move(backend), shell);
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
