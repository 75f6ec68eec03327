#include "shell/window_library.h"

#include "core/app_log.h"
#include "platform/code_page.h"
#include "skinui/lib_message_box.h"

namespace shell {

namespace {

int IconKindOf(core::MessageIcon icon) {
  switch (icon) {
    case core::MessageIcon::Warning:
      return 1;
    case core::MessageIcon::Error:
      return 2;
    case core::MessageIcon::Information:
      break;
  }
  return 0;
}

int ButtonKindOf(core::MessageButtons buttons) {
  return buttons == core::MessageButtons::OkCancel ? 3 : 0;
}

}  // namespace

WindowLibrary::WindowLibrary(platform::MessageLoop& loop,
                             std::unique_ptr<skinui::WindowBackend> backend, std::string skinFolder,
                             const core::ZelkLibBinding& binding, platform::ShellLauncher& shell,
                             bool onScreen)
    : context_(loop, std::move(backend), std::move(skinFolder)),
      standardError_(binding),
      onScreen_(onScreen) {
  context_.SetShell(&shell);
  context_.SetLogSink([&binding](const std::string& line) {
    core::WriteLog(binding, std::u16string_view(platform::Utf8ToUtf16(line)));
  });
  automation_ = skinui::AutomationServer::StartFromEnvironment(context_);
}

WindowLibrary::~WindowLibrary() {
  // Requests still queued would reach windows that are going.
  if (automation_) automation_->Stop();
}

void WindowLibrary::ShowMessage(const core::MessageBoxRequest& request) {
  if (!onScreen_) {
    standardError_.ShowMessage(request);
    return;
  }
  skinui::ShowLibMessageBox(nullptr, IconKindOf(request.icon), ButtonKindOf(request.buttons),
                            request.text, request.height, request.wait);
}

}  // namespace shell
