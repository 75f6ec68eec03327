#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/headless_message_loop.h"
#include "skinui/builder.h"
#include "skinui/headless_backend.h"
#include "skinui/notify.h"
#include "skinui/ui_context.h"
#include "skinui/window.h"
#include "skinui/window_messages.h"

namespace skinui_test {

// One notification as a test sees it.
struct Seen {
  std::string type;
  std::string sender;
  std::uintptr_t wParam = 0;
  skinui::Point pt;
};

// A window built from a layout text, recording its notifications.
class LayoutWindow : public skinui::Window, public skinui::INotifyUI {
 public:
  LayoutWindow(skinui::UiContext& context, std::string xml, std::string className = "UITestFrame")
      : Window(context), xml_(std::move(xml)), className_(std::move(className)) {}

  std::string GetWindowClassName() const override { return className_; }

  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override {
    if (message == skinui::WM_CREATE) {
      skinui::BuildOptions options;
      options.resourceDir = GetContext().ResourcePath();
      options.manager = &paintManager_;
      options.log = [this](const std::string& line) { GetContext().Log(line); };
      paintManager_.AttachDialog(skinui::Builder(options).CreateFromString(xml_, "test.xml"));
      paintManager_.AddNotifier(this);
      return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }

  void Notify(skinui::TNotifyUI& msg) override {
    seen.push_back(
        {msg.sType, msg.pSender != nullptr ? msg.pSender->GetName() : "", msg.wParam, msg.ptMouse});
  }

  std::vector<std::string> Types() const {
    std::vector<std::string> types;
    for (const auto& s : seen) types.push_back(s.type + ":" + s.sender);
    return types;
  }

  void Click(int x, int y) {
    SendMessage(skinui::WM_LBUTTONDOWN, 0, skinui::MakePointParam(x, y));
    SendMessage(skinui::WM_LBUTTONUP, 0, skinui::MakePointParam(x, y));
  }

  void ClickControl(const std::string& name) {
    GetPaintManager().UpdateLayout();
    const skinui::Point c = GetPaintManager().FindControl(name)->GetPos().Center();
    Click(c.x, c.y);
  }

  std::vector<Seen> seen;

 private:
  std::string xml_;
  std::string className_;
};

// A loop with a manual clock, a headless context and the lines it logged.
class UiTest : public ::testing::Test {
 protected:
  explicit UiTest(std::string resourceDir = "/nonexistent-skin")
      : loop(clock),
        context(loop, std::make_unique<skinui::HeadlessBackend>(loop), std::move(resourceDir)) {
    context.SetLogSink([this](const std::string& line) { logs.push_back(line); });
  }

  std::unique_ptr<LayoutWindow> Open(const std::string& xml, int width = 400, int height = 300,
                                     std::string className = "UITestFrame") {
    auto window = std::make_unique<LayoutWindow>(context, xml, std::move(className));
    window->Create(nullptr, u"test", skinui::WS_POPUP | skinui::WS_VISIBLE, 0, 0, 0, width, height);
    window->GetPaintManager().UpdateLayout();
    return window;
  }

  bool Logged(const std::string& part) const {
    for (const auto& line : logs) {
      if (line.find(part) != std::string::npos) return true;
    }
    return false;
  }

  platform::ManualClock clock;
  platform::HeadlessMessageLoop loop;
  skinui::UiContext context;
  std::vector<std::string> logs;
};

}  // namespace skinui_test
