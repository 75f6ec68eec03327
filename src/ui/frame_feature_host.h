#pragma once

#include <set>
#include <string>

#include "core/feature_host.h"
#include "skinui/window.h"

namespace ui {

class CMainFrame;

// The main frame as its features reach it (and as the frame itself looks its controls up): one
// log line for each control name the layout lacks, posts and timers on the frame's window, the
// frame's list mutex, the support library and the program's message box.
class FrameFeatureHost final : public core::FeatureHost {
 public:
  FrameFeatureHost(CMainFrame& frame, const core::ZelkLibBinding& binding,
                   std::string dataDirectory, platform::RecursiveMutex& listMutex);

  skinui::Control* FindControl(std::string_view name) override;
  skinui::Window& OwnerWindow() override { return window_; }
  platform::RecursiveMutex& ListMutex() override { return listMutex_; }
  void Post(std::uint32_t message, platform::Payload payload) override;
  void SetTimer(std::uint32_t id, std::int64_t periodMs) override;
  void KillTimer(std::uint32_t id) override;
  core::ServiceContext Service() override;
  const core::ZelkLibBinding& Binding() override { return binding_; }
  const std::string& DataDirectory() override { return dataDirectory_; }
  void ShellOpen(const std::u16string& target) override;
  int ShowMessageBox(int iconKind, int buttonKind, const std::u16string& text, int height,
                     bool wait) override;
  void ShowMainFormArea() override;
  void SetUIKind(int kind) override;
  void Log(std::u16string_view line) override;

 protected:
  void ReportWrongClass(std::string_view name) override;

 private:
  void ReportOnce(std::string_view name, const std::string& line);

  CMainFrame& frame_;
  skinui::Window& window_;
  const core::ZelkLibBinding& binding_;
  std::string dataDirectory_;
  platform::RecursiveMutex& listMutex_;
  std::set<std::string, std::less<>> reported_;
};

}  // namespace ui
