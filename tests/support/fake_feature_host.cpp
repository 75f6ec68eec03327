#include "support/fake_feature_host.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "skinui/builder.h"
#include "skinui/headless_backend.h"
#include "skinui/window.h"
#include "skinui/window_messages.h"

namespace testing_support {

std::string StagedSkinFolder() {
  const char* app = std::getenv("ZELK_APP_DIR");
  return std::string(app != nullptr ? app : ".") + "/Skin/Zelk";
}

std::string StagedLayout(const std::string& fileName) {
  std::ifstream in(StagedSkinFolder() + "/" + fileName);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

HeadlessUi::HeadlessUi(std::string skinFolder)
    : context(loop, std::make_unique<skinui::HeadlessBackend>(loop), std::move(skinFolder)) {}

class FakeFeatureHost::HostWindow final : public skinui::Window {
 public:
  HostWindow(skinui::UiContext& context, std::string layoutXml, FakeFeatureHost& host)
      : Window(context), layoutXml_(std::move(layoutXml)), host_(host) {}

  std::string GetWindowClassName() const override { return "FakeFeatureHostFrame"; }

  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override {
    if (message == skinui::WM_CREATE) {
      skinui::BuildOptions options;
      options.resourceDir = GetContext().ResourcePath();
      options.manager = &paintManager_;
      options.log = [this](const std::string& line) { GetContext().Log(line); };
      paintManager_.AttachDialog(
          skinui::Builder(options).CreateFromString(layoutXml_, "fake-host.xml"));
      return 0;
    }
    if (message >= skinui::WM_USER) {
      platform::Payload none;
      auto* payload = reinterpret_cast<platform::Payload*>(lParam);
      host_.Deliver(message, payload != nullptr ? *payload : none);
      return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }

 private:
  std::string layoutXml_;
  FakeFeatureHost& host_;
};

FakeFeatureHost::FakeFeatureHost(skinui::UiContext& context, const core::ZelkLibBinding& binding,
                                 std::string appDirectory, std::string layoutXml)
    : binding_(binding),
      appDirectory_(std::move(appDirectory)),
      window_(std::make_unique<HostWindow>(context, std::move(layoutXml), *this)) {
  window_->Create(nullptr, u"fake host", skinui::WS_POPUP | skinui::WS_VISIBLE, 0, 0, 0, 800, 600);
  window_->GetPaintManager().UpdateLayout();
}

FakeFeatureHost::~FakeFeatureHost() = default;

skinui::Control* FakeFeatureHost::FindControl(std::string_view name) {
  skinui::Control* found = window_->GetPaintManager().FindControl(name);
  if (found == nullptr) missingControls.emplace_back(name);
  return found;
}

skinui::Window& FakeFeatureHost::OwnerWindow() {
  return *window_;
}

void FakeFeatureHost::Post(std::uint32_t message, platform::Payload payload) {
  window_->GetContext().Loop().post(window_->GetHWND(), message, std::move(payload));
}

void FakeFeatureHost::SetTimer(std::uint32_t id, std::int64_t periodMs) {
  timersSet.push_back({id, periodMs});
  window_->SetTimer(id, periodMs);
}

void FakeFeatureHost::KillTimer(std::uint32_t id) {
  timersKilled.push_back(id);
  window_->KillTimer(id);
}

core::ServiceContext FakeFeatureHost::Service() {
  return {&binding_, &window_->GetContext().Loop(), window_->GetHWND()};
}

int FakeFeatureHost::ShowMessageBox(int iconKind, int buttonKind, const std::u16string& text,
                                    int height, bool wait) {
  messageBoxes.push_back({iconKind, buttonKind, text, height, wait});
  return messageBoxAnswer;
}

void FakeFeatureHost::Deliver(std::uint32_t message, platform::Payload& payload) {
  if (handler_) {
    handler_(message, payload);
  } else {
    unhandledMessages.push_back(message);
  }
}

}  // namespace testing_support
