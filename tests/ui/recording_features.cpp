// Controllers of the frame tests that record each operation the frame calls, by name (with the
// control name where the operation gets one).
#include "ui/frame_test_support.h"

namespace ui_testing {
namespace {

#define RECORD(op)     \
  void op() override { \
    record_.Note(#op); \
  }
#define RECORD_NAME(op)                          \
  void op(const std::string& name) override {    \
    record_.Note(std::string(#op) + ":" + name); \
  }
#define RECORD_PAYLOAD(op)               \
  void op(platform::Payload&) override { \
    record_.Note(#op);                   \
  }
#define RECORD_DOWNLOAD(op, Message)                                                \
  void op(const knowledge::Message& message) override {                             \
    record_.Note(std::string(#op) + ":" + platform::Utf16ToUtf8(message.FileName) + \
                 (frame_.ListMutexHeld() ? ":locked" : ":unlocked"));               \
  }

class RecordingAccount final : public account::AccountController {
 public:
  RecordingAccount(core::FeatureHost& host, CallRecord& record)
      : AccountController(host), record_(record) {}
  RECORD(ShowLoginFrame)
  RECORD(ShowRegisterFrame)
  RECORD(DoRegister)
  RECORD(DoChangePassword)
  RECORD(OpenForgetPasswordPage)
  RECORD(DoSendSMSCode)
  RECORD(DoAutoLoginByConfig)
  RECORD(Relogin)
  RECORD(SendHeartbeat)
  RECORD(RefreshSMSCountdown)
  RECORD_PAYLOAD(DoAfterRegister)
  RECORD_PAYLOAD(DoAfterLogin)
  RECORD_PAYLOAD(DoAfterChangePassword)
  RECORD_PAYLOAD(DoAfterSendSMSCode)
  void DoLogin(bool silent) override { record_.Note(silent ? "DoLogin:silent" : "DoLogin"); }
  void DoResizeLoginFrameArea() override {
    record_.Note("DoResizeLoginFrameArea");
    AccountController::DoResizeLoginFrameArea();
  }
  void DoResizeRegisterFrameArea() override {
    record_.Note("DoResizeRegisterFrameArea");
    AccountController::DoResizeRegisterFrameArea();
  }
  void DoResizeChangePasswordFrameArea() override {
    record_.Note("DoResizeChangePasswordFrameArea");
    AccountController::DoResizeChangePasswordFrameArea();
  }

 private:
  CallRecord& record_;
};

class RecordingUserCenter final : public account::UserCenter {
 public:
  RecordingUserCenter(core::FeatureHost& host, CallRecord& record)
      : UserCenter(host), record_(record) {}
  RECORD(LoadUserImage)
  RECORD(QueryUnreadMessages)

 private:
  CallRecord& record_;
};

class RecordingKnowledgeSearch final : public knowledge::KnowledgeSearch {
 public:
  RecordingKnowledgeSearch(core::FeatureHost& host, CallRecord& record, RecordingFrame& frame)
      : KnowledgeSearch(host), record_(record), frame_(frame) {}
  RECORD(DoResizeKnowlegeSearchArea)
  RECORD(StartKnowlegeSearch)
  RECORD_NAME(OnKnowlegePagerClick)
  void DoRefreshKnowlegePageIndexButtons() override {
    record_.Note("DoRefreshKnowlegePageIndexButtons");
    KnowledgeSearch::DoRefreshKnowlegePageIndexButtons();
  }
  void CheckKnowlegeResultRow(skinui::Control& row) override {
    frame_.checkedRows.push_back(&row);
    record_.Note("CheckKnowlegeResultRow");
  }

 private:
  CallRecord& record_;
  RecordingFrame& frame_;
};

class RecordingKnowledgeLists final : public knowledge::KnowledgeLists {
 public:
  RecordingKnowledgeLists(core::FeatureHost& host, CallRecord& record, RecordingFrame& frame)
      : KnowledgeLists(host), record_(record), frame_(frame) {}
  RECORD(DoRefreshDownloadList)
  RECORD(RestartKnowledgeQueue)
  RECORD(OnFinishedListScrolled)
  RECORD_NAME(QueueKnowledgeDownload)
  RECORD_NAME(OnKnowlegeDownloadingClick)
  RECORD_NAME(OnKnowlegeDownloadedClick)
  RECORD_NAME(SwitchKnowlegeDownloadMngPage)
  RECORD_PAYLOAD(OnDownloadPermission)
  RECORD_DOWNLOAD(OnDownloadStarted, DownloadStarted)
  RECORD_DOWNLOAD(OnDownloadProgress, DownloadProgress)
  RECORD_DOWNLOAD(OnDownloadEnded, DownloadEnded)
  void ProcessUrlProtocol(const std::u16string& request) override {
    frame_.urlRequests.push_back(request);
  }

 private:
  CallRecord& record_;
  RecordingFrame& frame_;
};

class RecordingAppCenter final : public appcenter::AppCenter {
 public:
  RecordingAppCenter(core::FeatureHost& host, CallRecord& record, RecordingFrame& frame)
      : AppCenter(host), record_(record), frame_(frame) {}
  RECORD(DoInitAppMarketCategory)
  RECORD(OnAppMarketSearch)
  RECORD(ShowAppDownloadManager)
  RECORD_NAME(OnAppMarketCategorySelected)
  RECORD_NAME(OnAppMarketItemClick)
  RECORD_NAME(OnAppMarketPagerClick)
  RECORD_NAME(OnNetFrameworkClick)
  RECORD_PAYLOAD(OnAppCategoryAdd)
  RECORD_PAYLOAD(OnAppCategorySelect)
  RECORD_PAYLOAD(OnFlyIconStep)
  RECORD_PAYLOAD(OnFlyIconEnd)
  RECORD_DOWNLOAD(OnAppDownloadStarted, DownloadStarted)
  RECORD_DOWNLOAD(OnAppDownloadProgress, DownloadProgress)
  RECORD_DOWNLOAD(OnAppDownloadEnded, DownloadEnded)

 private:
  CallRecord& record_;
  RecordingFrame& frame_;
};

class RecordingHomeAppButtons final : public appcenter::HomeAppButtons {
 public:
  RecordingHomeAppButtons(core::FeatureHost& host, CallRecord& record)
      : HomeAppButtons(host), record_(record) {}
  RECORD(CheckAppVersions)
  RECORD(DoRefreshHomeAppButtons)
  RECORD(ToggleHomeAppEditMode)
  RECORD_NAME(OnHomeAppPagerClick)
  void OnHomeAppClick(const std::string& name, skinui::Point) override {
    record_.Note("OnHomeAppClick:" + name);
  }

 private:
  CallRecord& record_;
};

class RecordingHome final : public home::HomeController {
 public:
  RecordingHome(core::FeatureHost& host, CallRecord& record)
      : HomeController(host), record_(record) {}
  RECORD(SetUpHomeShareButtons)
  RECORD(DoRefreshLastestNews)
  RECORD(DoRefreshSumaryInfo)
  RECORD(OpenNewsSite)
  RECORD(OnAdTimer)
  RECORD_NAME(OnAdButtonClick)
  RECORD_NAME(OnShareClick)
  void OnLastestNewsItemClick(skinui::TNotifyUI& msg) override {
    record_.Note("OnLastestNewsItemClick:" +
                 (msg.pSender != nullptr ? msg.pSender->GetName() : ""));
  }

 private:
  CallRecord& record_;
};

class RecordingWebPages final : public ui::WebPages {
 public:
  RecordingWebPages(core::FeatureHost& host, CallRecord& record)
      : WebPages(host), record_(record) {}
  RECORD(DoRefreshForFAQ)
  RECORD(DoRefreshForVideoNavigate)
  RECORD(DoRefreshForGameNavigate)
  RECORD(DoRefreshNavigate)
  RECORD(DoRefreshForProjectTemplateNavigate)
  RECORD(DoRefreshShareEachDay)
  RECORD(DoShowIntroduce)
  RECORD(ShowFeedbackWindow)
  RECORD(ShowUserProfileWindow)
  RECORD(ShowUserMessageWindow)

 private:
  CallRecord& record_;
};

class RecordingWindows final : public ui::SecondaryWindows {
 public:
  RecordingWindows(core::FeatureHost& host, CallRecord& record)
      : SecondaryWindows(host), record_(record) {}
  RECORD(InitShadowWindowClass)
  RECORD(DoInitializeCommForms)
  RECORD(ShowContactWindow)
  RECORD(OpenCustomerService)
  RECORD_NAME(OnMainMenuItem)
  RECORD_NAME(OnUserCenterMenuItem)
  void OpenMainMenu(skinui::Point) override { record_.Note("OpenMainMenu"); }
  void OpenUserCenterMenu(skinui::Point) override { record_.Note("OpenUserCenterMenu"); }

 private:
  CallRecord& record_;
};

#undef RECORD
#undef RECORD_NAME
#undef RECORD_PAYLOAD
#undef RECORD_DOWNLOAD

}  // namespace

RecordingFrame::RecordingFrame(skinui::UiContext& context, ui::MainFrameEnvironment environment)
    : CMainFrame(context, [&] {
        environment.makeFeatures = [this](core::FeatureHost& host, ui::MainFrameFeatures& f) {
          f.account = std::make_unique<RecordingAccount>(host, record_);
          f.userCenter = std::make_unique<RecordingUserCenter>(host, record_);
          f.knowledgeSearch = std::make_unique<RecordingKnowledgeSearch>(host, record_, *this);
          f.knowledgeLists = std::make_unique<RecordingKnowledgeLists>(host, record_, *this);
          f.appCenter = std::make_unique<RecordingAppCenter>(host, record_, *this);
          f.homeAppButtons = std::make_unique<RecordingHomeAppButtons>(host, record_);
          f.home = std::make_unique<RecordingHome>(host, record_);
          f.webPages = std::make_unique<RecordingWebPages>(host, record_);
          f.windows = std::make_unique<RecordingWindows>(host, record_);
        };
        return std::move(environment);
      }()) {}

}  // namespace ui_testing
