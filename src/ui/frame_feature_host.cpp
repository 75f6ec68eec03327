#include "ui/frame_feature_host.h"

#include "core/app_log.h"
#include "platform/code_page.h"
#include "platform/shell_open.h"
#include "skinui/lib_message_box.h"
#include "skinui/ui_context.h"
#include "ui/main_frame.h"

namespace ui {

FrameFeatureHost::FrameFeatureHost(CMainFrame& frame, const core::ZelkLibBinding& binding,
                                   std::string dataDirectory, platform::RecursiveMutex& listMutex)
    : frame_(frame),
      window_(frame),
      binding_(binding),
      dataDirectory_(std::move(dataDirectory)),
      listMutex_(listMutex) {}

skinui::Control* FrameFeatureHost::FindControl(std::string_view name) {
  skinui::Control* found = window_.GetPaintManager().FindControl(name);
  if (found == nullptr) {
    ReportOnce(name, "界面布局中缺少控件 " + std::string(name) + "，相关功能不可用");
  }
  return found;
}

void FrameFeatureHost::ReportWrongClass(std::string_view name) {
  ReportOnce(name, "界面布局中控件 " + std::string(name) + " 的类型不符，相关功能不可用");
}

void FrameFeatureHost::ReportOnce(std::string_view name, const std::string& line) {
  // Once per name: a skin without the control leaves its feature inert, quietly after this.
  if (reported_.emplace(name).second) Log(platform::Utf8ToUtf16(line));
}

void FrameFeatureHost::Post(std::uint32_t message, platform::Payload payload) {
  window_.GetContext().Loop().post(window_.GetHWND(), message, std::move(payload));
}

void FrameFeatureHost::SetTimer(std::uint32_t id, std::int64_t periodMs) {
  window_.SetTimer(id, periodMs);
}

void FrameFeatureHost::KillTimer(std::uint32_t id) {
  window_.KillTimer(id);
}

core::ServiceContext FrameFeatureHost::Service() {
  return {&binding_, &window_.GetContext().Loop(), window_.GetHWND()};
}

void FrameFeatureHost::ShellOpen(const std::u16string& target) {
  if (target.empty()) return;
  platform::ShellLauncher* shell = window_.GetContext().Shell();
  if (shell == nullptr) return;
  try {
    shell->open({"open", platform::Utf16ToUtf8(target), "", ""});
  } catch (...) {
    // A launch that fails is ignored, as every "open" of the client is.
  }
}

int FrameFeatureHost::ShowMessageBox(int iconKind, int buttonKind, const std::u16string& text,
                                     int height, bool wait) {
  return skinui::ShowLibMessageBox(&window_, iconKind, buttonKind, text, height, wait);
}

void FrameFeatureHost::Log(std::u16string_view line) {
  core::WriteLog(binding_, line);
}

void FrameFeatureHost::ShowMainFormArea() {
  frame_.DoShowMainFormArea();
}

void FrameFeatureHost::SetUIKind(int kind) {
  frame_.SetUIKind(kind);
}

}  // namespace ui
