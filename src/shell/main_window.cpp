#include "shell/main_window.h"

#include "platform/code_page.h"
#include "shell/app_log.h"
#include "shell/command_line.h"
#include "shell/window_messages.h"

namespace shell {

BasicMainWindow::BasicMainWindow(MainWindowContext context)
    : context_(std::move(context)), window_(context_.loop.addTarget(*this)) {}

BasicMainWindow::~BasicMainWindow() {
  updateCheck_->abandoned = true;
  context_.loop.removeTarget(window_);
}

void BasicMainWindow::CenterAndShow() {
  // Without a display there is nothing to place; what follows the first layout of the window
  // (its start-up steps) runs now: here only the update check.
  DoCheckUpdate();
}

void BasicMainWindow::ProcessUrlProtocol(const std::u16string& request) {
  WriteLog(context_.binding, std::u16string_view(request));
}

void BasicMainWindow::OnUrlProtocolArrived() {
  WriteLog(context_.binding, std::u16string_view(u"接收到URL协议"));
  try {
    ProcessUrlProtocol(RemoveDoubleQuotes(context_.binding.ReadDataFromUrlProtocolShareMemory()));
  } catch (...) {
    // A request that cannot be read or processed is dropped; the window still comes forward.
  }
  RestoreAndBringToForeground();
}

void BasicMainWindow::RestoreAndBringToForeground() {
  // No window on screen without a display; the main frame restores and raises its window here.
}

void BasicMainWindow::DoCheckUpdate() {
  shell::DoCheckUpdate(context_.loop, updateCheck_, context_.binding,
                       platform::Utf8ToUtf16(context_.appDirectory), context_.updater);
}

void BasicMainWindow::onMessage(platform::Message& message) {
  try {
    if (message.message == WM_URL_PROTOCOL_ARRIVED) OnUrlProtocolArrived();
  } catch (...) {
    // Even the log failed; the window goes on.
  }
}

}  // namespace shell
