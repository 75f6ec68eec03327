#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "core/update_check.h"
#include "core/updater_launcher.h"
#include "core/window_payloads.h"
#include "core/zelk_lib_binding.h"
#include "knowledge/download_messages.h"
#include "platform/payload.h"
#include "platform/recursive_mutex.h"
#include "skinui/button.h"
#include "skinui/horizontal_layout.h"
#include "skinui/lib_object_view.h"
#include "skinui/notify.h"
#include "skinui/skin_look.h"
#include "skinui/web_browser.h"
#include "skinui/window.h"
#include "ui/click_dispatcher.h"
#include "ui/skin_changed_param.h"

namespace ui {

// Whether the service can be reached, as the last report said. Unset until the first report, so
// that the first report of either kind is applied.
enum class NetworkState { Unset, Reachable, Unreachable };

// What the main frame is created with.
struct MainFrameEnvironment {
  const core::ZelkLibBinding& binding;
  std::string appDirectory;  // a file-system path
  core::UpdaterLauncher updater;
};

// The user the user center shows while someone is logged in.
struct UserCenterUser {
  std::u16string loginId;
  std::u16string nickName;
};

// The one main window of the client. It builds its layout from "main_frame.xml", draws its own
// frame, runs the start-up steps of every feature when its layout is first laid out, dispatches
// the controls' notifications to the features, owns the periodic timers and receives what the
// workers post back. The features' operations are members of the frame (they keep their state
// here); those whose features are not built yet do nothing.
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

  // Shows the main area (the feature pages) instead of an account area.
  void DoShowMainFormArea();
  // A later start handed over a "Zelk://" request (with the message, or else in the shared
  // memory): process it, then bring the window forward.
  void OnUrlProtocolArrived(const core::UrlProtocolPayload* handedOver);
  // Interprets one "Zelk://" request.
  virtual void ProcessUrlProtocol(const std::u16string& request);

  // Which client area was shown last: 0 main, 1 login, 2 register.
  int GetUIKind() const { return uiKind_; }
  bool IsInitialised() const { return initialised_; }
  NetworkState GetNetworkState() const { return networkState_; }
  // Held by the window thread around the handlers that change lists and download records.
  platform::RecursiveMutex& ListMutex() { return listMutex_; }
  const core::UpdateCheckState& GetUpdateCheckState() const { return *updateCheck_; }
  const skinui::SkinLook& GetSkin() const { return skin_; }
  const core::ZelkLibBinding& Binding() const { return env_.binding; }
  const std::string& AppDirectory() const { return env_.appDirectory; }

  skinui::CAppMarketView& AppMarketView() { return appMarketView_; }
  skinui::CKnowlegeView& KnowlegeView() { return knowlegeView_; }
  skinui::CFAQView& FAQView() { return faqView_; }

  // The user shown by the user center; none while nobody is logged in.
  void SetUserCenterUser(std::optional<UserCenterUser> user) { user_ = std::move(user); }

 protected:
  // Operations of the features. Each is named after its feature's operation and called from the
  // start-up steps, the dispatchers, the timers and the message handlers; the ones whose
  // features are not built yet do nothing so far.

  // Start-up and initialisation.
  virtual void InitShadowWindowClass();
  virtual void CheckAppVersions();
  virtual void SetUpHomeShareButtons();
  virtual void DoRefreshHomeAppButtons();
  virtual void DoInitAppMarketCategory();
  virtual void DoRefreshKnowlegePageIndexButtons();
  virtual void DoRefreshDownloadList();
  virtual void DoRefreshLastestNews();
  virtual void DoResizeLoginFrameArea();
  virtual void DoResizeRegisterFrameArea();
  virtual void DoResizeChangePasswordFrameArea();
  virtual void DoResizeKnowlegeSearchArea();
  virtual void DoRefreshForFAQ();
  virtual void DoRefreshForVideoNavigate();
  virtual void DoRefreshForGameNavigate();
  virtual void DoRefreshNavigate();
  virtual void DoRefreshForProjectTemplateNavigate();
  virtual void DoRefreshShareEachDay();
  virtual void DoRefreshSumaryInfo();
  virtual void DoAutoLoginByConfig();
  virtual void DoInitializeCommForms();
  virtual void DoShowIntroduce();

  // Notifications and clicks.
  virtual void OnLastestNewsItemClick(skinui::TNotifyUI& msg);
  virtual void OnAppMarketSearch();
  virtual void OnAppMarketCategorySelected(const std::string& optionName);
  virtual void OnAppMarketItemClick(const std::string& name);
  virtual void OnAppMarketPagerClick(const std::string& name);
  virtual void OnNetFrameworkClick(const std::string& name);
  virtual void ShowAppDownloadManager();
  virtual void StartKnowlegeSearch();
  virtual void OnKnowlegePagerClick(const std::string& name);
  virtual void QueueKnowledgeDownload(const std::string& name);
  virtual void OnKnowlegeDownloadingClick(const std::string& name);
  virtual void OnKnowlegeDownloadedClick(const std::string& name);
  virtual void SwitchKnowlegeDownloadMngPage(const std::string& name);
  virtual void OnHomeAppClick(const std::string& name, skinui::Point point);
  virtual void ToggleHomeAppEditMode();
  virtual void OnHomeAppPagerClick(const std::string& name);
  virtual void OnMainMenuItem(const std::string& item);
  virtual void OnUserCenterMenuItem(const std::string& item);
  virtual void OpenMainMenu(skinui::Point clickPoint);
  virtual void OpenUserCenterMenu(skinui::Point clickPoint);
  virtual void ShowLoginFrame();
  virtual void ShowRegisterFrame();
  virtual void DoLogin(bool silent);
  virtual void DoRegister();
  virtual void DoChangePassword();
  virtual void OpenForgetPasswordPage();
  virtual void DoSendSMSCode();
  virtual void OnShareClick(const std::string& name);
  virtual void OnAdButtonClick(const std::string& name);
  virtual void OpenNewsSite();
  virtual void OpenCustomerService();
  virtual void ShowFeedbackWindow();
  virtual void ShowContactWindow();
  virtual void ShowUserProfileWindow();
  virtual void ShowUserMessageWindow();

  // Timers.
  virtual void SendHeartbeat();
  virtual void OnAdTimer();
  virtual void RefreshSMSCountdown();
  virtual void RestartKnowledgeQueue();
  virtual void QueryUnreadMessages();

  // Private messages whose features are not built yet; each gets its message's payload.
  virtual void CheckKnowlegeResultRow(skinui::Control& row);
  virtual void OnAppCategoryAdd(platform::Payload& payload);
  virtual void OnAppCategorySelect(platform::Payload& payload);
  // The download engines' messages, passed on by the kind of the file: knowledge documents to
  // the knowledge lists, app packages and platform runtimes to the app center.
  virtual void OnKnowledgeDownloadStarted(const knowledge::DownloadStarted& started);
  virtual void OnKnowledgeDownloadProgress(const knowledge::DownloadProgress& progress);
  virtual void OnKnowledgeDownloadEnded(const knowledge::DownloadEnded& ended);
  virtual void OnAppDownloadStarted(const knowledge::DownloadStarted& started);
  virtual void OnAppDownloadProgress(const knowledge::DownloadProgress& progress);
  virtual void OnAppDownloadEnded(const knowledge::DownloadEnded& ended);
  virtual void DoAfterRegister(platform::Payload& payload);
  virtual void DoAfterLogin(platform::Payload& payload);
  virtual void DoAfterChangePassword(platform::Payload& payload);
  virtual void DoAfterSendSMSCode(platform::Payload& payload);
  virtual void OnDownloadPermission(platform::Payload& payload);
  virtual void OnFlyIconStep(platform::Payload& payload);
  virtual void OnFlyIconEnd(platform::Payload& payload);
  virtual void LoadUserImage();
  virtual void Relogin();

  // One line of the product log.
  void Log(std::u16string_view line) const;
  void Log(const std::string& utf8Line) const;
  // Opens a URL (or folder) with the shell verb "open"; failures are ignored.
  void ShellOpen(const std::u16string& target) const;

 private:
  // Creation and start-up.
  std::intptr_t OnCreate();
  void BuildLayout();
  void InitWindow();
  void LookUpFrameControls();
  void ApplyStoredSkin();
  void FillKnowlegeSearchTypes();
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
  void OpenKnowlegeHelp(std::u16string_view anchor);
  void OpenKnowlegeDownloadFolder();
  void OpenWebSite();
  void ShowKnowlegeSearchHome();
  void ResizeAccountArea(const char* toolBar, const char* area, const char* topSpacer,
                         const char* leftSpacer);

  // Private messages.
  bool HandlePrivateMessage(std::uint32_t message, platform::Payload* payload);
  void RoutePrivateMessage(std::uint32_t message, platform::Payload& payload);
  template <class T>
  std::unique_ptr<T> TakePayload(std::uint32_t message, platform::Payload& payload);
  template <class Message>
  void RouteDownloadMessage(knowledge::StoreFileKind kind,
                            void (CMainFrame::*toKnowledge)(const Message&),
                            void (CMainFrame::*toAppCenter)(const Message&),
                            const Message& message);
  void OnListAddItem(core::ListItemPayload& payload);
  void OnListShowLoading(const core::ListLoadingPayload& payload);
  void OnViewEnable(const core::ViewEnablePayload& payload);
  void OnViewSetPager(const core::ViewPagerPayload& payload);
  void OnListEmptyImage(const core::ListEmptyImagePayload& payload);
  void OnContainerAdd(core::ContainerAddPayload& payload);
  void OnContainerClear(const core::ContainerClearPayload& payload);
  void OnUnreadMessages(const core::UnreadMessagesPayload& payload);
  void OnNoticeClicked(int value);
  void OnNetworkError();
  void OnNetworkRestored();
  bool IsOwnView(const skinui::CLibObjectView* view) const;

  // Timers.
  void OnTimer(std::uint32_t id);
  void ProbeNetwork();

  void SetNetworkIcon(const char* image, std::u16string_view tooltip);
  void ApplySkin(const skinui::SkinLook& look);
  template <class T>
  T* Lookup(std::string_view name) const;
  // Runs one step or handler so that its failure ends only that piece, with a log line.
  template <class F>
  void Guard(std::u16string_view what, F&& work) const;

  MainFrameEnvironment env_;
  skinui::CAppMarketView appMarketView_{this};
  skinui::CKnowlegeView knowlegeView_{this};
  skinui::CFAQView faqView_{this};

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
  platform::RecursiveMutex listMutex_;
  std::shared_ptr<core::UpdateCheckState> updateCheck_ = std::make_shared<core::UpdateCheckState>();
  // Set while a network probe runs, so that a slow probe is not joined by another every period.
  std::shared_ptr<std::atomic<bool>> probeRunning_ = std::make_shared<std::atomic<bool>>(false);
  skinui::SkinLook skin_;
  std::optional<UserCenterUser> user_;
  mutable std::set<std::string, std::less<>> reportedMissing_;
};

}  // namespace ui
