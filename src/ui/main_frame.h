#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/update_check.h"
#include "core/updater_launcher.h"
#include "core/window_payloads.h"
#include "core/zelk_lib_binding.h"
#include "platform/payload.h"
#include "platform/recursive_mutex.h"
#include "skinui/button.h"
#include "skinui/horizontal_layout.h"
#include "skinui/notify.h"
#include "skinui/skin_look.h"
#include "skinui/web_browser.h"
#include "skinui/window.h"
#include "ui/click_dispatcher.h"
#include "ui/frame_feature_host.h"
#include "ui/main_frame_features.h"
#include "ui/skin_changed_param.h"

namespace ui {

// Whether the service can be reached, as the last report said. Unset until the first report, so
// that the first report of either kind is applied.
enum class NetworkState { Unset, Reachable, Unreachable };

// What the main frame is created with.
struct MainFrameEnvironment {
  const core::ZelkLibBinding& binding;
  std::string dataDirectory;  // the user's writable state, a file-system path
  core::UpdaterLauncher updater;
  // Puts in controllers of its own before the frame makes the rest; none: all are the real ones.
  FeatureFactory makeFeatures = {};
};

// The one main window of the client. It builds its layout from "main_frame.xml", draws its own
// frame, runs the start-up steps of every feature when its layout is first laid out, dispatches
// the controls' notifications to the features, owns the periodic timers, the network state and
// the skin, and receives what the workers post back. It is a router: the features' operations
// belong to their controllers (MainFrameFeatures), which the frame owns and calls.
class CMainFrame : public skinui::Window,
                   public skinui::INotifyUI,
                   public skinui::IMessageFilterUI,
                   public skinui::CWebBrowserEventHandler,
                   public ReceiverImpl<SkinChangedParam> {
 public:
  static constexpr std::uint32_t kStyle = 0x96C80000;  // pop-up, visible, clip, caption, menu
  static constexpr int kWidth = 1200;
  static constexpr int kHeight = 900;
  static constexpr std::u16string_view kCaption = u"Tamsel 3.1";
  static constexpr const char* kLayoutFile = "main_frame.xml";

  CMainFrame(skinui::UiContext& context, MainFrameEnvironment environment);
  ~CMainFrame() override;

  // Creates the window as the entry point does: no owner, the caption, the style, 1200 × 900.
  bool CreateMainWindow();

  std::string GetWindowClassName() const override { return "UIMainFrame"; }
  std::uint32_t GetClassStyle() const override { return 8; }  // double clicks
  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
  void OnFinalMessage() override;
  void Notify(skinui::TNotifyUI& msg) override;
  // Sees every message first and consumes none.
  std::intptr_t MessageHandler(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                               bool& handled) override;
  // A skin chosen in the skin window.
  void Receive(const SkinChangedParam& param) override;
  // The web tabs' events, handed to the web pages.
  void NavigateComplete(skinui::WebBrowser& browser, const std::string& url) override;
  void NavigateError(skinui::WebBrowser& browser, const std::string& url, int status) override;
  void PageCommand(skinui::WebBrowser& browser, const std::vector<std::u16string>& args) override;
  std::uint32_t GetHostInfoFlags(skinui::WebBrowser& browser) override;

  // Shows the main area (the feature pages) instead of an account area.
  void DoShowMainFormArea();
  // A later start handed a "Zelk://" request over: process it, then bring the window forward.
  // Without a payload the request is read from the shared memory the later start wrote.
  void OnUrlProtocolArrived(const core::UrlProtocolPayload* payload);
  // Interprets one "Zelk://" request (the knowledge lists serve them).
  void ProcessUrlProtocol(const std::u16string& request);

  // Which client area was shown last: 0 main, 1 login, 2 register.
  int GetUIKind() const { return uiKind_; }
  void SetUIKind(int kind) { uiKind_ = kind; }
  bool IsInitialised() const { return initialised_; }
  NetworkState GetNetworkState() const { return networkState_; }
  // Held by the window thread around the handlers that change lists and download records.
  platform::RecursiveMutex& ListMutex() { return listMutex_; }
  const core::UpdateCheckState& GetUpdateCheckState() const { return *updateCheck_; }
  const skinui::SkinLook& GetSkin() const { return skin_; }
  const core::ZelkLibBinding& Binding() const { return env_.binding; }
  const std::string& DataDirectory() const { return env_.dataDirectory; }
  // The features' controllers; they exist once the window has been created.
  MainFrameFeatures& Features() { return features_; }

 private:
  // Creation and start-up.
  std::intptr_t OnCreate();
  void BuildLayout();
  void InitWindow();
  void LookUpFrameControls();
  void ApplyStoredSkin();
  void PrepareWebTabs();
  void RunStartupSequence();
  void InitializeTimer();
  void DoCheckUpdate();
  void MarkInitialisedAndCreateCommForms();

  // System messages.
  std::intptr_t OnNcHitTest(std::intptr_t lParam);
  void OnSize(std::uintptr_t sizeKind);
  std::intptr_t OnSysCommand(std::uintptr_t wParam, std::intptr_t lParam);
  void OnGetMinMaxInfo(std::intptr_t lParam);
  void OpenHelpPage();

  // Notifications.
  void OnReturn(skinui::TNotifyUI& msg);
  void OnClick(skinui::TNotifyUI& msg);
  void DispatchFeatureClick(FeatureClick action, skinui::TNotifyUI& msg);
  void OnSelectChanged(skinui::TNotifyUI& msg);
  bool AskToClose();
  void OpenSkinFrame();

  // Private messages.
  bool HandlePrivateMessage(std::uint32_t message, platform::Payload* payload);
  void RoutePrivateMessage(std::uint32_t message, platform::Payload& payload);
  template <class T>
  std::unique_ptr<T> TakePayload(std::uint32_t message, platform::Payload& payload);
  template <class Message>
  void RouteDownloadMessage(const Message& message);
  void OnListAddItem(core::ListItemPayload& payload);
  void OnListShowLoading(const core::ListLoadingPayload& payload);
  void OnViewEnable(const core::ViewEnablePayload& payload);
  void OnViewSetPager(const core::ViewPagerPayload& payload);
  void OnListEmptyImage(const core::ListEmptyImagePayload& payload);
  void OnContainerAdd(core::ContainerAddPayload& payload);
  void OnContainerClear(const core::ContainerClearPayload& payload);
  void OnNoticeClicked(int value);
  void OnNetworkError();
  void OnNetworkRestored();
  bool IsOwnView(const skinui::CLibObjectView* view);

  // Timers.
  void OnTimer(std::uint32_t id);
  void ProbeNetwork();

  void SetNetworkIcon(const char* image, std::u16string_view tooltip);
  void ApplySkin(const skinui::SkinLook& look);
  void Log(std::u16string_view line);
  void Log(const std::string& utf8Line);
  template <class T>
  T* Lookup(std::string_view name) {
    return host_.Find<T>(name);
  }
  // Runs one step or handler so that its failure ends only that piece, with a log line.
  template <class F>
  void Guard(std::u16string_view what, F&& work);

  MainFrameEnvironment env_;
  platform::RecursiveMutex listMutex_;
  FrameFeatureHost host_;
  MainFrameFeatures features_;

  skinui::Button* closeBtn_ = nullptr;
  skinui::Button* maxBtn_ = nullptr;
  skinui::Button* restoreBtn_ = nullptr;
  skinui::Button* minBtn_ = nullptr;
  skinui::Button* skinBtn_ = nullptr;
  skinui::Button* menuBtn_ = nullptr;
  skinui::HorizontalLayout* networkStateImage_ = nullptr;

  int uiKind_ = 0;
  bool initialised_ = false;
  bool startupDone_ = false;
  NetworkState networkState_ = NetworkState::Unset;
  std::shared_ptr<core::UpdateCheckState> updateCheck_ = std::make_shared<core::UpdateCheckState>();
  // Set while a network probe runs, so that a slow probe is not joined by another every period.
  std::shared_ptr<std::atomic<bool>> probeRunning_ = std::make_shared<std::atomic<bool>>(false);
  skinui::SkinLook skin_;
};

}  // namespace ui
