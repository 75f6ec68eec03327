#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/zelk_lib_binding.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/dynamic_library.h"
#include "platform/headless_message_loop.h"
#include "platform/shell_open.h"
#include "skinui/headless_backend.h"
#include "skinui/ui_context.h"
#include "support/temp_dir.h"
#include "ui/main_frame.h"

namespace ui_testing {

// The staged skin folder of the build (layouts and drawn pictures).
std::string StagedSkin();

// The support library of the frame tests: the real library staged with the program, with the
// exports that reach the network replaced by scripted ones, writing its log and settings into
// a given program folder. One instance at a time (the scripted exports are plain functions).
class TestLibrary {
 public:
  explicit TestLibrary(const std::string& programDirectory);
  ~TestLibrary();

  const core::ZelkLibBinding& binding() const { return binding_; }
  bool loaded() const { return library_.loaded(); }

  // CheckCanVisitInternent answers this (1 reachable, 0 not) and counts its calls.
  static void SetReachable(bool reachable);
  static int ReachabilityQueries();
  // What ReadDataFromUrlProtocolShareMemory answers.
  static void SetSharedRequest(const std::u16string& request);

 private:
  platform::DynamicLibrary library_;
  core::ZelkLibBinding binding_;
};

// The lines of the product log of a program folder, without their time stamps.
std::vector<std::string> LogLines(const std::string& programDirectory);

// A main frame that records the calls of its feature operations (and can be told to fail in
// one of them), so that the frame's orchestration can be checked without the features.
class RecordingFrame : public ui::CMainFrame {
 public:
  using CMainFrame::CMainFrame;

  std::vector<std::string> calls;
  std::string failIn;  // the operation that raises
  std::vector<std::u16string> urlRequests;
  std::vector<skinui::Control*> checkedRows;

  void ProcessUrlProtocol(const std::u16string& request) override {
    urlRequests.push_back(request);
  }
  // The list mutex is held by the window thread (checked from another thread, where a
  // recursive mutex cannot be taken while it is held).
  bool ListMutexHeld() {
    return !std::async(std::launch::async, [this] {
              const bool got = ListMutex().try_lock();
              if (got) ListMutex().unlock();
              return got;
            }).get();
  }
  // Calls recorded since the last Clear.
  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(calls);
    return taken;
  }

 protected:
#define UI_RECORD(op)  \
  void op() override { \
    Note(#op);         \
  }
#define UI_RECORD_NAME(op)                    \
  void op(const std::string& name) override { \
    Note(std::string(#op) + ":" + name);      \
  }
#define UI_RECORD_PAYLOAD(op)            \
  void op(platform::Payload&) override { \
    Note(#op);                           \
  }
  UI_RECORD(InitShadowWindowClass)
  UI_RECORD(CheckAppVersions)
  UI_RECORD(SetUpHomeShareButtons)
  UI_RECORD(DoRefreshHomeAppButtons)
  UI_RECORD(DoInitAppMarketCategory)
  UI_RECORD(DoRefreshDownloadList)
  UI_RECORD(DoRefreshLastestNews)
  UI_RECORD(DoResizeKnowlegeSearchArea)
  UI_RECORD(DoRefreshForFAQ)
  UI_RECORD(DoRefreshForVideoNavigate)
  UI_RECORD(DoRefreshForGameNavigate)
  UI_RECORD(DoRefreshNavigate)
  UI_RECORD(DoRefreshForProjectTemplateNavigate)
  UI_RECORD(DoRefreshShareEachDay)
  UI_RECORD(DoRefreshSumaryInfo)
  UI_RECORD(DoAutoLoginByConfig)
  UI_RECORD(DoInitializeCommForms)
  UI_RECORD(DoShowIntroduce)
  UI_RECORD(OnAppMarketSearch)
  UI_RECORD(ShowAppDownloadManager)
  UI_RECORD(StartKnowlegeSearch)
  UI_RECORD(ToggleHomeAppEditMode)
  UI_RECORD(ShowLoginFrame)
  UI_RECORD(ShowRegisterFrame)
  UI_RECORD(DoRegister)
  UI_RECORD(DoChangePassword)
  UI_RECORD(OpenForgetPasswordPage)
  UI_RECORD(DoSendSMSCode)
  UI_RECORD(OpenNewsSite)
  UI_RECORD(OpenCustomerService)
  UI_RECORD(ShowFeedbackWindow)
  UI_RECORD(ShowContactWindow)
  UI_RECORD(ShowUserProfileWindow)
  UI_RECORD(ShowUserMessageWindow)
  UI_RECORD(SendHeartbeat)
  UI_RECORD(OnAdTimer)
  UI_RECORD(RefreshSMSCountdown)
  UI_RECORD(RestartKnowledgeQueue)
  UI_RECORD(QueryUnreadMessages)
  UI_RECORD(LoadUserImage)
  UI_RECORD(Relogin)
  UI_RECORD_NAME(OnAppMarketCategorySelected)
  UI_RECORD_NAME(OnAppMarketItemClick)
  UI_RECORD_NAME(OnAppMarketPagerClick)
  UI_RECORD_NAME(OnNetFrameworkClick)
  UI_RECORD_NAME(OnKnowlegePagerClick)
  UI_RECORD_NAME(QueueKnowledgeDownload)
  UI_RECORD_NAME(OnKnowlegeDownloadingClick)
  UI_RECORD_NAME(OnKnowlegeDownloadedClick)
  UI_RECORD_NAME(SwitchKnowlegeDownloadMngPage)
  UI_RECORD_NAME(OnHomeAppPagerClick)
  UI_RECORD_NAME(OnMainMenuItem)
  UI_RECORD_NAME(OnUserCenterMenuItem)
  UI_RECORD_NAME(OnShareClick)
  UI_RECORD_NAME(OnAdButtonClick)
  UI_RECORD_PAYLOAD(OnAppCategoryAdd)
  UI_RECORD_PAYLOAD(OnAppCategorySelect)
#define UI_RECORD_DOWNLOAD(op, Message)                                     \
  void op(const knowledge::Message& message) override {                     \
    Note(std::string(#op) + ":" + platform::Utf16ToUtf8(message.FileName) + \
         (ListMutexHeld() ? ":locked" : ":unlocked"));                      \
  }
  UI_RECORD_DOWNLOAD(OnKnowledgeDownloadStarted, DownloadStarted)
  UI_RECORD_DOWNLOAD(OnKnowledgeDownloadProgress, DownloadProgress)
  UI_RECORD_DOWNLOAD(OnKnowledgeDownloadEnded, DownloadEnded)
  UI_RECORD_DOWNLOAD(OnAppDownloadStarted, DownloadStarted)
  UI_RECORD_DOWNLOAD(OnAppDownloadProgress, DownloadProgress)
  UI_RECORD_DOWNLOAD(OnAppDownloadEnded, DownloadEnded)
  UI_RECORD_PAYLOAD(DoAfterRegister)
  UI_RECORD_PAYLOAD(DoAfterLogin)
  UI_RECORD_PAYLOAD(DoAfterChangePassword)
  UI_RECORD_PAYLOAD(DoAfterSendSMSCode)
  UI_RECORD_PAYLOAD(OnDownloadPermission)
  UI_RECORD_PAYLOAD(OnFlyIconStep)
  UI_RECORD_PAYLOAD(OnFlyIconEnd)
#undef UI_RECORD
#undef UI_RECORD_NAME
#undef UI_RECORD_PAYLOAD

  void DoRefreshKnowlegePageIndexButtons() override {
    Note("DoRefreshKnowlegePageIndexButtons");
    CMainFrame::DoRefreshKnowlegePageIndexButtons();
  }
  void DoResizeLoginFrameArea() override {
    Note("DoResizeLoginFrameArea");
    CMainFrame::DoResizeLoginFrameArea();
  }
  void DoResizeRegisterFrameArea() override {
    Note("DoResizeRegisterFrameArea");
    CMainFrame::DoResizeRegisterFrameArea();
  }
  void DoResizeChangePasswordFrameArea() override {
    Note("DoResizeChangePasswordFrameArea");
    CMainFrame::DoResizeChangePasswordFrameArea();
  }
  void DoLogin(bool silent) override {
    Note(silent ? "DoLogin:silent" : "DoLogin");
  }
  void OnHomeAppClick(const std::string& name, skinui::Point) override {
    Note("OnHomeAppClick:" + name);
  }
  void OpenMainMenu(skinui::Point) override {
    Note("OpenMainMenu");
  }
  void OpenUserCenterMenu(skinui::Point) override {
    Note("OpenUserCenterMenu");
  }
  void OnLastestNewsItemClick(skinui::TNotifyUI& msg) override {
    Note("OnLastestNewsItemClick:" + (msg.pSender != nullptr ? msg.pSender->GetName() : ""));
  }
  void CheckKnowlegeResultRow(skinui::Control& row) override {
    checkedRows.push_back(&row);
    Note("CheckKnowlegeResultRow");
  }

 private:
  void Note(std::string call) {
    calls.push_back(call);
    if (!failIn.empty() && call == failIn) throw std::runtime_error("scripted failure");
  }
};

// A headless window thread with a manual clock, the test library in a fresh program folder and
// a main frame made on demand.
class FrameTest : public ::testing::Test {
 protected:
  FrameTest();
  ~FrameTest() override;

  // Creates the frame as the program does and lays it out (the start-up steps run).
  RecordingFrame& Open(const std::string& skinFolder = StagedSkin());
  void CloseFrame();
  RecordingFrame& frame() { return *frame_; }
  skinui::PaintManager& pm() { return frame_->GetPaintManager(); }
  // Handles everything posted so far (and what workers post until they end).
  void Settle();
  // True when the frame asked the message loop to end (the loop is then made usable again).
  bool LoopWasQuit();
  void Post(std::uint32_t message, platform::Payload payload = {});
  template <class T>
  void PostPayload(std::uint32_t message, T value) {
    Post(message, platform::Payload(std::make_unique<T>(std::move(value))));
  }
  // A click as the library delivers it: an option is activated (selected, then notified), any
  // other control notifies "click".
  void Click(const std::string& name);
  std::vector<std::string> Log() const { return LogLines(dir_.path()); }
  bool Logged(const std::string& part) const;
  std::vector<platform::ShellOpenRequest> Opened() const { return shell_.requests(); }

  testing_support::TempDir dir_;
  TestLibrary lib_;
  platform::ManualClock clock_;
  platform::HeadlessMessageLoop loop_;
  platform::ShellLauncher shell_{true};
  skinui::UiContext ui_;
  std::unique_ptr<RecordingFrame> frame_;
};

}  // namespace ui_testing
