#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/feature_host.h"
#include "platform/clock.h"
#include "platform/headless_message_loop.h"
#include "skinui/ui_context.h"

namespace testing_support {

// The skin folder the build staged (layouts and drawn pictures).
std::string StagedSkinFolder();
// The text of a layout of that folder ("main_frame.xml").
std::string StagedLayout(const std::string& fileName);

// A window thread without a display: a manual clock (pauses cost nothing), the headless loop
// and a window-library context whose skin is the given folder.
struct HeadlessUi {
  explicit HeadlessUi(std::string skinFolder = StagedSkinFolder());

  platform::ManualClock clock;
  platform::HeadlessMessageLoop loop{clock};
  skinui::UiContext context;
};

// The main window as a feature sees it, without the main frame: a headless window built from a
// layout text. The private messages posted to it go to the test's handler (as the frame would
// route them); timers, shell requests, message boxes, log lines and the names the layout lacks
// are recorded.
class FakeFeatureHost final : public core::FeatureHost {
 public:
  using MessageHandler = std::function<void(std::uint32_t message, platform::Payload& payload)>;

  FakeFeatureHost(skinui::UiContext& context, const core::ZelkLibBinding& binding,
                  std::string appDirectory, std::string layoutXml);
  ~FakeFeatureHost() override;
  FakeFeatureHost(const FakeFeatureHost&) = delete;
  FakeFeatureHost& operator=(const FakeFeatureHost&) = delete;

  // Receives every private message posted to the window, on the window thread.
  void SetMessageHandler(MessageHandler handler) { handler_ = std::move(handler); }

  skinui::Control* FindControl(std::string_view name) override;
  skinui::Window& OwnerWindow() override;
  platform::RecursiveMutex& ListMutex() override { return listMutex_; }
  void Post(std::uint32_t message, platform::Payload payload) override;
  void SetTimer(std::uint32_t id, std::int64_t periodMs) override;
  void KillTimer(std::uint32_t id) override;
  core::ServiceContext Service() override;
  const core::ZelkLibBinding& Binding() override { return binding_; }
  const std::string& DataDirectory() override { return appDirectory_; }
  void ShellOpen(const std::u16string& target) override { opened.push_back(target); }
  int ShowMessageBox(int iconKind, int buttonKind, const std::u16string& text, int height,
                     bool wait) override;
  void ShowMainFormArea() override { ++mainFormAreaShown; }
  void SetUIKind(int kind) override { uiKind = kind; }
  void Log(std::u16string_view line) override { logLines.emplace_back(line); }

  struct TimerRequest {
    std::uint32_t id = 0;
    std::int64_t periodMs = 0;
    bool operator==(const TimerRequest&) const = default;
  };
  struct MessageBoxRequest {
    int iconKind = 0;
    int buttonKind = 0;
    std::u16string text;
    int height = 0;
    bool wait = false;
  };

  std::vector<TimerRequest> timersSet;
  std::vector<std::uint32_t> timersKilled;
  std::vector<std::u16string> opened;
  std::vector<MessageBoxRequest> messageBoxes;
  int messageBoxAnswer = 1;  // the button a waiting box answers (OK)
  std::vector<std::u16string> logLines;
  int mainFormAreaShown = 0;
  int uiKind = 0;
  // Names looked up that the layout lacks, or holds as another class.
  std::vector<std::string> missingControls;
  // Private messages that arrived while no handler was set.
  std::vector<std::uint32_t> unhandledMessages;

 protected:
  void ReportWrongClass(std::string_view name) override { missingControls.emplace_back(name); }

 private:
  class HostWindow;
  void Deliver(std::uint32_t message, platform::Payload& payload);

  const core::ZelkLibBinding& binding_;
  std::string appDirectory_;
  platform::RecursiveMutex listMutex_;
  MessageHandler handler_;
  std::unique_ptr<HostWindow> window_;
};

}  // namespace testing_support
