// The main frame on a headless window thread with the real support library (its network
// exports scripted): creation, the start-up sequence, the message tables, the timers, the
// dispatchers and the skin.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>

#include "core/window_messages.h"
#include "core/window_timers.h"
#include "frame_test_support.h"
#include "skinui/combo.h"
#include "skinui/lib_message_box.h"
#include "skinui/lib_popup_notify_form.h"
#include "skinui/list.h"
#include "skinui/option.h"
#include "skinui/tab_layout.h"
#include "skinui/window_messages.h"
#include "ui/skin_frame.h"

namespace ui_testing {
namespace {

using namespace core;
using skinui::Control;

// The 21 lines that follow the start-up steps, in their order.
const std::vector<std::string> kStepLines = {
    "DoShowMainFormArea_End",
    "DoRefreshHomeAppButtons",
    "DoInitAppMarketCategory",
    "DoRefreshKnowlegePageIndexButtons",
    "DoRefreshDownloadList",
    "DoRefreshLastestNews",
    "DoResizeLoginFrameArea",
    "DoResizeRegisterFrameArea",
    "DoResizeChangePasswordFrameArea",
    "DoRefreshForFAQ",
    "DoRefreshForVideoNavigate",
    "DoRefreshForGameNavigate",
    "DoRefreshNavigate",
    "DoRefreshForProjectTemplateNavigate",
    "DoRefreshShareEachDay",
    "DoRefreshSumaryInfo",
    "DoAutoLoginByConfig",
    "InitializeTimer",
    "DoCheckUpdate",
    "DoInitializeCommForms",
    "DoShowIntroduce",
};

// The lines of `all` that are in `wanted`, in the order they were written.
std::vector<std::string> Only(const std::vector<std::string>& all,
                              const std::vector<std::string>& wanted) {
  std::vector<std::string> picked;
  for (const std::string& line : all) {
    if (std::find(wanted.begin(), wanted.end(), line) != wanted.end()) picked.push_back(line);
  }
  return picked;
}

// Sees whether the list mutex is free for another thread at the moment it is added to a list.
class LockProbe final : public Control {
 public:
  LockProbe(platform::RecursiveMutex& mutex, int& heldWhenAdded)
      : mutex_(mutex), held_(heldWhenAdded) {}
  void SetManager(skinui::PaintManager* manager, skinui::Container* parent) override {
    Control::SetManager(manager, parent);
    if (manager != nullptr && held_ < 0) held_ = HeldByAnotherThread(mutex_) ? 1 : 0;
  }
  static bool HeldByAnotherThread(platform::RecursiveMutex& mutex) {
    return !std::async(std::launch::async, [&mutex] {
              const bool got = mutex.try_lock();
              if (got) mutex.unlock();
              return got;
            }).get();
  }

 private:
  platform::RecursiveMutex& mutex_;
  int& held_;
};

// Counts how often payloads of its kind are freed.
struct Counted {
  static inline int destroyed = 0;
  ~Counted() { ++destroyed; }
};

// ---------------------------------------------------------------------------------------------
// Creation and start-up

TEST_F(FrameTest, TheWindowIsCreatedAsTheEntryPointAsks) {
  ASSERT_TRUE(lib_.loaded());
  RecordingFrame& f = Open();
  EXPECT_EQ(f.GetWindowClassName(), "UIMainFrame");
  EXPECT_EQ(f.GetClassStyle(), 8u);
  EXPECT_EQ(f.GetCaption(), u"Tamsel 3.1");
  EXPECT_EQ(f.GetWindowRect().Width(), 1200);
  EXPECT_EQ(f.GetWindowRect().Height(), 900);
  // The frame draws its own caption.
  EXPECT_EQ(f.GetStyle() & skinui::WS_CAPTION, 0u);
  EXPECT_NE(f.GetStyle() & skinui::WS_CLIPSIBLINGS, 0u);
  EXPECT_NE(f.GetStyle() & skinui::WS_CLIPCHILDREN, 0u);
  EXPECT_EQ(pm().GetDefaultFont().name, "微软雅黑");
  EXPECT_EQ(pm().GetDefaultFont().size, 12);
  EXPECT_FALSE(pm().GetDefaultFont().bold);
  EXPECT_EQ(f.GetNetworkState(), ui::NetworkState::Unset);
  EXPECT_EQ(f.GetUIKind(), 0);
  EXPECT_FALSE(f.GetUpdateCheckState().updateFound);
}

TEST_F(FrameTest, InitialisationAndTheStartupStepsAreLoggedInOrder) {
  Open();
  std::vector<std::string> expected = {"Init Begin", "Init End", "windowinit",
                                       "DoShowMainFormArea_Begin"};
  expected.insert(expected.end(), kStepLines.begin(), kStepLines.end());
  EXPECT_EQ(Only(Log(), expected), expected);
  // The main area's own sub-steps come between its two lines.
  const std::vector<std::string> log = Log();
  const auto begin = std::find(log.begin(), log.end(), "DoShowMainFormArea_Begin");
  const auto end = std::find(log.begin(), log.end(), "DoShowMainFormArea_End");
  const auto kind = std::find(log.begin(), log.end(), "DoShowMainFormArea_m_UIKind_Begin");
  EXPECT_TRUE(begin < kind && kind < end);
  EXPECT_EQ(std::count(log.begin(), log.end(), "windowinit"), 1);
}

TEST_F(FrameTest, TheStepsCallTheirFeaturesInOrderAndRunOnce) {
  RecordingFrame& f = Open();
  const std::vector<std::string> steps = {"DoRefreshHomeAppButtons",
                                          "DoInitAppMarketCategory",
                                          "DoRefreshKnowlegePageIndexButtons",
                                          "DoRefreshDownloadList",
                                          "DoRefreshLastestNews",
                                          "DoResizeLoginFrameArea",
                                          "DoResizeRegisterFrameArea",
                                          "DoResizeChangePasswordFrameArea",
                                          "DoRefreshForFAQ",
                                          "DoRefreshForVideoNavigate",
                                          "DoRefreshForGameNavigate",
                                          "DoRefreshNavigate",
                                          "DoRefreshForProjectTemplateNavigate",
                                          "DoRefreshShareEachDay",
                                          "DoRefreshSumaryInfo",
                                          "DoAutoLoginByConfig",
                                          "DoInitializeCommForms",
                                          "DoShowIntroduce"};
  EXPECT_EQ(Only(f.Take(), steps), steps);
  EXPECT_TRUE(f.IsInitialised());
  // A later layout is no second start.
  f.ResizeClient(1300, 900);
  pm().UpdateLayout();
  EXPECT_TRUE(Only(f.Take(), {"DoRefreshLastestNews", "DoAutoLoginByConfig"}).empty());
}

TEST_F(FrameTest, InitialisationPreparesTheFeaturesBeforeTheSteps) {
  RecordingFrame& f = Open();
  const std::vector<std::string> calls = f.Take();
  const std::vector<std::string> init = {"InitShadowWindowClass", "CheckAppVersions",
                                         "SetUpHomeShareButtons", "DoRefreshHomeAppButtons"};
  EXPECT_EQ(Only(calls, init), init);
  // Both search-type boxes hold the four types, the first chosen.
  for (const char* name : {"cmbKnowlegeSearchType", "cmbKnowlegeSearchResultSearchType"}) {
    auto* combo = pm().TryFind<skinui::Combo>(name);
    ASSERT_NE(combo, nullptr) << name;
    EXPECT_EQ(combo->GetCount(), 4) << name;
    EXPECT_EQ(combo->GetCurSel(), 0) << name;
  }
  // The six web tabs wait on a blank page with the frame as their handler.
  for (const char* name : {"ie_for_game", "ie_for_faq", "ie_for_project_template", "ie_for_video",
                           "ie_for_navigate", "ie_for_share_each_day"}) {
    auto* browser = pm().TryFind<skinui::WebBrowser>(name);
    ASSERT_NE(browser, nullptr) << name;
    EXPECT_EQ(browser->GetUrl(), "about:blank") << name;
    EXPECT_EQ(browser->GetWebBrowserEventHandler(), &f) << name;
  }
}

TEST_F(FrameTest, AFailingStepIsLoggedAndTheOthersStillRun) {
  frame_ = nullptr;
  ui_.SetResourcePath(StagedSkin());
  frame_ = std::make_unique<RecordingFrame>(
      ui_, ui::MainFrameEnvironment{lib_.binding(), dir_.path(),
                                    core::UpdaterLauncher(lib_.binding(), shell_, dir_.path())});
  frame_->failIn = "DoRefreshLastestNews";
  ASSERT_TRUE(frame_->CreateMainWindow());
  pm().UpdateLayout();
  EXPECT_TRUE(Logged("DoRefreshLastestNews 出现异常:scripted failure"));
  const std::vector<std::string> expected = {"DoRefreshLastestNews", "DoResizeLoginFrameArea",
                                             "DoShowIntroduce"};
  EXPECT_EQ(Only(Log(), expected), expected);
  EXPECT_TRUE(frame_->IsInitialised());
}

TEST_F(FrameTest, TheMainAreaReplacesTheAccountAreas) {
  RecordingFrame& f = Open();
  for (const char* area : {"vluLoginFrame", "vluRegisterFrame", "vluChangePasswordFrame"}) {
    pm().FindControl(area)->SetVisible(true);
  }
  pm().FindControl("vluMainFrame")->SetVisible(false);
  f.DoShowMainFormArea();
  EXPECT_TRUE(pm().FindControl("vluMainFrame")->IsVisible());
  for (const char* area : {"vluLoginFrame", "vluRegisterFrame", "vluChangePasswordFrame"}) {
    EXPECT_FALSE(pm().FindControl(area)->IsVisible()) << area;
  }
  EXPECT_EQ(f.GetUIKind(), 0);
  const std::u16string caption = pm().FindControl("lblMainFormCaption")->GetText();
  EXPECT_TRUE(caption == u"Tamsel v3.1 - [64位模式]" || caption == u"Tamsel v3.1 - [32位模式]");
  EXPECT_EQ(pm().Find<skinui::TabLayout>("tluHome_Right_UserCenterDesktop").GetCurSel(), 0);
}

TEST_F(FrameTest, TheUserCenterShowsTheLoggedInUser) {
  RecordingFrame& f = Open();
  f.SetUserCenterUser(account::UserCenterUser{u"13800000000", u"老王"});
  f.DoShowMainFormArea();
  EXPECT_EQ(pm().Find<skinui::TabLayout>("tluHome_Right_UserCenterDesktop").GetCurSel(), 2);
  EXPECT_EQ(pm().FindControl("txtUserIdForUserCenter")->GetText(), u"13800000000");
  EXPECT_EQ(pm().FindControl("txtNickNameForUserCenter")->GetText(), u"老王");
  f.SetUserCenterUser(std::nullopt);
  f.DoShowMainFormArea();
  EXPECT_EQ(pm().Find<skinui::TabLayout>("tluHome_Right_UserCenterDesktop").GetCurSel(), 0);
}

// ---------------------------------------------------------------------------------------------
// Timers

TEST_F(FrameTest, TheStartupTimersRunWithTheirPeriods) {
  RecordingFrame& f = Open();
  std::map<std::uint32_t, std::int64_t> periods;
  for (const auto& timer : loop_.timers(f.GetHWND())) periods[timer.id] = timer.periodMs;
  const std::map<std::uint32_t, std::int64_t> expected = {{20, 300000}, {30, 180000}, {40, 5000},
                                                          {50, 600000}, {70, 10000},  {90, 60000}};
  EXPECT_EQ(periods, expected);
}

TEST_F(FrameTest, EachTimerRunsItsFeature) {
  RecordingFrame& f = Open();
  f.Take();
  f.SetTimer(core::kSmsCountdownTimer, core::kSmsCountdownPeriodMs);
  for (const std::uint32_t id : {20u, 30u, 40u, 50u, 60u, 90u}) {
    ASSERT_TRUE(loop_.fireTimer(f.GetHWND(), id)) << id;
  }
  EXPECT_EQ(f.Take(), (std::vector<std::string>{"DoRefreshLastestNews", "SendHeartbeat",
                                                "OnAdTimer", "DoRefreshSumaryInfo",
                                                "RefreshSMSCountdown", "QueryUnreadMessages"}));
}

TEST_F(FrameTest, TheQueueRetryTimerFiresOnce) {
  RecordingFrame& f = Open();
  f.Take();
  f.SetTimer(core::kKnowlegeQueueRetryTimer, core::kKnowlegeQueueRetryDelayMs);
  ASSERT_TRUE(loop_.fireTimer(f.GetHWND(), core::kKnowlegeQueueRetryTimer));
  EXPECT_EQ(f.Take(), (std::vector<std::string>{"RestartKnowledgeQueue"}));
  EXPECT_FALSE(loop_.fireTimer(f.GetHWND(), core::kKnowlegeQueueRetryTimer));
}

TEST_F(FrameTest, TheNetworkProbeRunsOnlyWhileTheNetworkIsDown) {
  RecordingFrame& f = Open();
  Settle();
  const int before = TestLibrary::ReachabilityQueries();
  ASSERT_TRUE(loop_.fireTimer(f.GetHWND(), core::kNetworkProbeTimer));
  Settle();
  EXPECT_EQ(TestLibrary::ReachabilityQueries(), before);  // unset: nothing to find back

  Post(WM_NETWORK_ERROR);
  ASSERT_EQ(f.GetNetworkState(), ui::NetworkState::Unreachable);
  TestLibrary::SetReachable(false);
  ASSERT_TRUE(loop_.fireTimer(f.GetHWND(), core::kNetworkProbeTimer));
  Settle();
  EXPECT_EQ(TestLibrary::ReachabilityQueries(), before + 1);
  EXPECT_EQ(f.GetNetworkState(), ui::NetworkState::Unreachable);

  TestLibrary::SetReachable(true);
  ASSERT_TRUE(loop_.fireTimer(f.GetHWND(), core::kNetworkProbeTimer));
  Settle();
  EXPECT_EQ(f.GetNetworkState(), ui::NetworkState::Reachable);
  ASSERT_TRUE(loop_.fireTimer(f.GetHWND(), core::kNetworkProbeTimer));
  Settle();
  EXPECT_EQ(TestLibrary::ReachabilityQueries(), before + 2);
}

// ---------------------------------------------------------------------------------------------
// Network state

TEST_F(FrameTest, AFailedStartReportWithoutNetworkShowsTheOfflineIcon) {
  TestLibrary::SetReachable(false);
  RecordingFrame& f = Open();
  Settle();
  EXPECT_EQ(f.GetNetworkState(), ui::NetworkState::Unreachable);
  const Control* icon = pm().FindControl("hluNetworkStateImage");
  EXPECT_EQ(icon->GetBkImage(), "network/netstateerror2.png");
  EXPECT_EQ(icon->GetToolTip(), u"无法访问网络，请检查本地网络链接");
}

TEST_F(FrameTest, TheNetworkErrorIsAppliedOnce) {
  RecordingFrame& f = Open();
  Post(WM_NETWORK_ERROR);
  Control* icon = pm().FindControl("hluNetworkStateImage");
  EXPECT_EQ(icon->GetBkImage(), "network/netstateerror2.png");
  // A second report changes nothing: the icon is left as it is now.
  icon->SetToolTip(u"unchanged");
  Post(WM_NETWORK_ERROR);
  EXPECT_EQ(icon->GetToolTip(), u"unchanged");
  EXPECT_EQ(f.GetNetworkState(), ui::NetworkState::Unreachable);
}

TEST_F(FrameTest, TheNetworkComingBackReloadsEverythingOnce) {
  RecordingFrame& f = Open();
  Post(WM_NETWORK_ERROR);
  f.Take();
  Post(WM_NETWORK_RESTORED);
  const Control* icon = pm().FindControl("hluNetworkStateImage");
  EXPECT_EQ(icon->GetBkImage(), "network/netstateok2.png");
  EXPECT_EQ(icon->GetToolTip(), u"网络正常");
  EXPECT_EQ(f.Take(),
            (std::vector<std::string>{
                "DoRefreshForFAQ", "DoRefreshForVideoNavigate", "DoRefreshForGameNavigate",
                "DoRefreshNavigate", "DoRefreshForProjectTemplateNavigate", "DoRefreshShareEachDay",
                "DoRefreshLastestNews", "DoRefreshSumaryInfo", "DoInitAppMarketCategory",
                "DoAutoLoginByConfig"}));
  Post(WM_NETWORK_RESTORED);
  EXPECT_TRUE(f.Take().empty());
}

TEST_F(FrameTest, ALoggedInUserIsLoggedInAgainWhenTheNetworkComesBack) {
  RecordingFrame& f = Open();
  f.SetUserCenterUser(account::UserCenterUser{u"13800000000", u"老王"});
  Post(WM_NETWORK_ERROR);
  f.Take();
  Post(WM_NETWORK_RESTORED);
  const std::vector<std::string> calls = f.Take();
  EXPECT_EQ(calls.back(), "Relogin");
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "DoAutoLoginByConfig"), 0);
}

// ---------------------------------------------------------------------------------------------
// Private messages

TEST_F(FrameTest, ListMessagesHoldTheListMutexAndContainerMessagesDoNot) {
  RecordingFrame& f = Open();
  int heldForList = -1;
  PostPayload(WM_LIST_ADD_ITEM,
              core::ListItemPayload{"lstLastestNews",
                                    std::make_unique<LockProbe>(f.ListMutex(), heldForList)});
  EXPECT_EQ(heldForList, 1);
  int heldForContainer = -1;
  PostPayload(WM_CONTAINER_ADD,
              core::ContainerAddPayload{
                  "tluAd_Desktop", std::make_unique<LockProbe>(f.ListMutex(), heldForContainer)});
  EXPECT_EQ(heldForContainer, 0);
  EXPECT_FALSE(LockProbe::HeldByAnotherThread(f.ListMutex()));
}

TEST_F(FrameTest, AFailingHandlerReleasesTheMutexAndTheFrameGoesOn) {
  RecordingFrame& f = Open();
  f.failIn = "CheckKnowlegeResultRow";
  PostPayload(WM_LIST_ADD_ITEM,
              core::ListItemPayload{"lstKnowlegeSearchResult", std::make_unique<Control>()});
  EXPECT_TRUE(Logged("处理消息 WM_LIST_ADD_ITEM 出现异常:scripted failure"));
  EXPECT_FALSE(LockProbe::HeldByAnotherThread(f.ListMutex()));
  f.failIn.clear();
  PostPayload(WM_LIST_ADD_ITEM,
              core::ListItemPayload{"lstKnowlegeSearchResult", std::make_unique<Control>()});
  EXPECT_EQ(pm().Find<skinui::List>("lstKnowlegeSearchResult").GetCount(), 2);
}

TEST_F(FrameTest, APayloadOfTheWrongKindIsDroppedFreedAndLogged) {
  Open();
  Counted::destroyed = 0;
  PostPayload(WM_LIST_ADD_ITEM, Counted{});
  EXPECT_EQ(Counted::destroyed, 2);  // the moved-from record and the posted one
  EXPECT_TRUE(Logged("丢弃消息 WM_LIST_ADD_ITEM"));
  Post(WM_UNREAD_MESSAGES);
  EXPECT_TRUE(Logged("丢弃消息 WM_UNREAD_MESSAGES"));
  EXPECT_EQ(pm().FindControl("btnUserMessage")->GetText(), u"我的消息(0)");
}

TEST_F(FrameTest, RowsGoToTheirListAndSearchResultsAreChecked) {
  RecordingFrame& f = Open();
  auto row = std::make_unique<Control>();
  Control* raw = row.get();
  PostPayload(WM_LIST_ADD_ITEM, core::ListItemPayload{"lstKnowlegeSearchResult", std::move(row)});
  const auto& list = pm().Find<skinui::List>("lstKnowlegeSearchResult");
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.GetItemAt(0), raw);
  EXPECT_EQ(f.checkedRows, (std::vector<Control*>{raw}));
  PostPayload(WM_LIST_ADD_ITEM,
              core::ListItemPayload{"lstLastestNews", std::make_unique<Control>()});
  EXPECT_EQ(f.checkedRows.size(), 1u);
  PostPayload(WM_LIST_ADD_ITEM,
              core::ListItemPayload{"lstNoSuchList", std::make_unique<Control>()});
  EXPECT_TRUE(Logged("没有列表 lstNoSuchList"));
}

TEST_F(FrameTest, TheLoadingAnimationFollowsTheWorker) {
  Open();
  PostPayload(WM_LIST_SHOW_LOADING, core::ListLoadingPayload{"lstAppMarketList", true});
  EXPECT_TRUE(pm().Find<skinui::List>("lstAppMarketList").IsGIFVisible());
  PostPayload(WM_LIST_SHOW_LOADING, core::ListLoadingPayload{"lstAppMarketList", false});
  EXPECT_FALSE(pm().Find<skinui::List>("lstAppMarketList").IsGIFVisible());
}

TEST_F(FrameTest, PagedViewsAreEnabledAndPagedThroughMessages) {
  RecordingFrame& f = Open();
  PostPayload(WM_VIEW_ENABLE, core::ViewEnablePayload{&f.KnowlegeView(), false});
  EXPECT_FALSE(pm().FindControl("txtKnowlegeSearchResultKeyword")->IsEnabled());
  PostPayload(WM_VIEW_ENABLE, core::ViewEnablePayload{&f.KnowlegeView(), true});
  EXPECT_TRUE(pm().FindControl("txtKnowlegeSearchResultKeyword")->IsEnabled());

  PostPayload(WM_VIEW_SET_PAGER, core::ViewPagerPayload{&f.KnowlegeView(), 3, 8, 75});
  EXPECT_EQ(f.KnowlegeView().GetCurrentPage(), 3);
  EXPECT_EQ(f.KnowlegeView().GetPageCount(), 8);
  EXPECT_TRUE(pm().Find<skinui::Option>("ouKnowlege_PageIndex_3").IsSelected());
  EXPECT_TRUE(pm().FindControl("ouKnowlege_PageIndex_8")->IsVisible());
  EXPECT_FALSE(pm().FindControl("ouKnowlege_PageIndex_9")->IsVisible());
}

TEST_F(FrameTest, AViewThatIsNotTheFramesIsRefused) {
  RecordingFrame& f = Open();
  knowledge::CKnowlegeView stranger(&f);
  PostPayload(WM_VIEW_SET_PAGER, core::ViewPagerPayload{&stranger, 2, 5, 41});
  EXPECT_EQ(stranger.GetPageCount(), 0);
  EXPECT_TRUE(Logged("丢弃消息 WM_VIEW_SET_PAGER"));
  PostPayload(WM_VIEW_ENABLE, core::ViewEnablePayload{nullptr, false});
  EXPECT_TRUE(Logged("丢弃消息 WM_VIEW_ENABLE"));
  EXPECT_TRUE(pm().FindControl("txtKnowlegeSearchResultKeyword")->IsEnabled());
}

TEST_F(FrameTest, AnEmptyListShowsWhyAndTheNextRowTakesThePicturesPlace) {
  Open();
  auto picture = [this](const std::string& list) -> std::string {
    const Control* shown = pm().FindControl(list + "_EmptyImage_Picture");
    return shown != nullptr ? shown->GetBkImage() : "";
  };
  pm().FindControl("txtAppMarketSearchEdit")->SetText(u"钢筋");
  PostPayload(WM_LIST_EMPTY_IMAGE, core::ListEmptyImagePayload{"lstAppMarketList", false});
  EXPECT_EQ(picture("lstAppMarketList"), "nosearchapp.png");
  PostPayload(WM_LIST_EMPTY_IMAGE, core::ListEmptyImagePayload{"lstAppMarketList", true});
  EXPECT_EQ(picture("lstAppMarketList"), "net_error.png");
  EXPECT_EQ(pm().Find<skinui::List>("lstAppMarketList").GetCount(), 1);  // replaced, not added

  PostPayload(WM_LIST_ADD_ITEM,
              core::ListItemPayload{"lstAppMarketList", std::make_unique<Control>()});
  EXPECT_EQ(picture("lstAppMarketList"), "");
  EXPECT_EQ(pm().Find<skinui::List>("lstAppMarketList").GetCount(), 1);
  // A list with rows is not empty.
  PostPayload(WM_LIST_EMPTY_IMAGE, core::ListEmptyImagePayload{"lstAppMarketList", true});
  EXPECT_EQ(picture("lstAppMarketList"), "");

  PostPayload(WM_LIST_EMPTY_IMAGE, core::ListEmptyImagePayload{"lstKnowlegeSearchResult", false});
  EXPECT_EQ(picture("lstKnowlegeSearchResult"), "nodatainfo.png");
}

TEST_F(FrameTest, ThePictureOfASmallListIsShrunk) {
  Open();
  PostPayload(WM_LIST_EMPTY_IMAGE, core::ListEmptyImagePayload{"lstLastestNews", false});
  pm().UpdateLayout();
  const Control* shown = pm().FindControl("lstLastestNews_EmptyImage_Picture");
  ASSERT_NE(shown, nullptr);
  const skinui::Rect list = pm().FindControl("lstLastestNews")->GetPos();
  EXPECT_LE(shown->GetPos().Height(), list.Height());
  EXPECT_EQ(shown->GetPos().Width(), shown->GetPos().Height());
  // Centred across the list.
  EXPECT_NEAR(shown->GetPos().Center().x, list.Center().x, 5);
}

TEST_F(FrameTest, ContainersAreFilledAndEmptiedByName) {
  Open();
  PostPayload(WM_CONTAINER_ADD,
              core::ContainerAddPayload{"tluAd_Desktop", std::make_unique<Control>()});
  PostPayload(WM_CONTAINER_ADD,
              core::ContainerAddPayload{"tluAd_Desktop", std::make_unique<Control>()});
  EXPECT_EQ(pm().Find<skinui::TabLayout>("tluAd_Desktop").GetCount(), 2);
  PostPayload(WM_CONTAINER_CLEAR, core::ContainerClearPayload{"tluAd_Desktop"});
  EXPECT_EQ(pm().Find<skinui::TabLayout>("tluAd_Desktop").GetCount(), 0);
}

TEST_F(FrameTest, UnreadMessagesAreCountedAndAnnounced) {
  Open();
  PostPayload(WM_UNREAD_MESSAGES, core::UnreadMessagesPayload{0});
  EXPECT_EQ(pm().FindControl("btnUserMessage")->GetText(), u"我的消息(0)");
  auto* notice = dynamic_cast<skinui::CLibPopupNotifyForm*>(
      ui_.SharedWindow(skinui::CLibPopupNotifyForm::kSharedKey));
  EXPECT_TRUE(notice == nullptr || !notice->IsVisible());

  PostPayload(WM_UNREAD_MESSAGES, core::UnreadMessagesPayload{3});
  EXPECT_EQ(pm().FindControl("btnUserMessage")->GetText(), u"我的消息(3)");
  notice = dynamic_cast<skinui::CLibPopupNotifyForm*>(
      ui_.SharedWindow(skinui::CLibPopupNotifyForm::kSharedKey));
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(notice->IsVisible());
  EXPECT_EQ(notice->GetNoticeText(), u"您有(3)条未读消息，请注意查收。");
  EXPECT_EQ(notice->GetNoticeValue(), 30001);
}

TEST_F(FrameTest, OnlyTheUnreadMessageNoticeOpensTheMessageWindow) {
  RecordingFrame& f = Open();
  f.Take();
  PostPayload(WM_NOTICE_CLICKED, 30002);
  EXPECT_TRUE(f.Take().empty());
  PostPayload(WM_NOTICE_CLICKED, 30001);
  EXPECT_EQ(f.Take(), (std::vector<std::string>{"ShowUserMessageWindow"}));
}

TEST_F(FrameTest, FeatureMessagesReachTheirFeatures) {
  RecordingFrame& f = Open();
  f.Take();
  for (const std::uint32_t message :
       {WM_APP_CATEGORY_ADD, WM_APP_CATEGORY_SELECT, WM_HOME_APPS_REFRESH, WM_REGISTER_REPLY,
        WM_LOGIN_REPLY, WM_CHANGE_PASSWORD_REPLY, WM_SMS_CODE_REPLY, WM_DOWNLOAD_PERMISSION,
        WM_FLY_ICON_STEP, WM_FLY_ICON_END, WM_AVATAR_RELOAD}) {
    Post(message);
  }
  EXPECT_EQ(f.Take(),
            (std::vector<std::string>{
                "OnAppCategoryAdd", "OnAppCategorySelect", "DoRefreshHomeAppButtons",
                "DoAfterRegister", "DoAfterLogin", "DoAfterChangePassword", "DoAfterSendSMSCode",
                "OnDownloadPermission", "OnFlyIconStep", "OnFlyIconEnd", "LoadUserImage"}));
}

TEST_F(FrameTest, DownloadMessagesGoByTheKindOfTheirFileUnderTheListMutex) {
  RecordingFrame& f = Open();
  f.Take();
  using knowledge::StoreFileKind;
  PostPayload(WM_DOWNLOAD_STARTED,
              knowledge::DownloadStarted{u"规范.pdf", StoreFileKind::Knowlege});
  PostPayload(WM_DOWNLOAD_PROGRESS,
              knowledge::DownloadProgress{u"规范.pdf", StoreFileKind::Knowlege, 100, 50});
  PostPayload(WM_DOWNLOAD_ENDED,
              knowledge::DownloadEnded{u"规范.pdf", StoreFileKind::Knowlege, 3, u""});
  PostPayload(WM_DOWNLOAD_STARTED, knowledge::DownloadStarted{u"tool.zip", StoreFileKind::App});
  PostPayload(WM_DOWNLOAD_PROGRESS,
              knowledge::DownloadProgress{u"dotnet.exe", StoreFileKind::Platform, 10, 1});
  PostPayload(WM_DOWNLOAD_ENDED,
              knowledge::DownloadEnded{u"tool.zip", StoreFileKind::App, 5, u"服务器上不存在文件"});
  PostPayload(WM_DOWNLOAD_ENDED,
              knowledge::DownloadEnded{u"face.png", StoreFileKind::UserProfile, 3, u""});
  PostPayload(WM_DOWNLOAD_STARTED,
              knowledge::DownloadStarted{u"odd", static_cast<StoreFileKind>(9)});
  EXPECT_EQ(f.Take(), (std::vector<std::string>{
                          "OnDownloadStarted:规范.pdf:locked",
                          "OnDownloadProgress:规范.pdf:locked",
                          "OnDownloadEnded:规范.pdf:locked",
                          "OnAppDownloadStarted:tool.zip:locked",
                          "OnAppDownloadProgress:dotnet.exe:locked",
                          "OnAppDownloadEnded:tool.zip:locked",
                      }));
  EXPECT_FALSE(LockProbe::HeldByAnotherThread(f.ListMutex()));
  Post(WM_DOWNLOAD_ENDED);
  EXPECT_TRUE(Logged("丢弃消息 WM_DOWNLOAD_ENDED"));
}

TEST_F(FrameTest, ARequestOfALaterStartIsReadWithoutQuotesAndTheWindowComesForward) {
  RecordingFrame& f = Open();
  f.SendMessage(skinui::WM_SYSCOMMAND, skinui::SC_MINIMIZE);
  ASSERT_TRUE(f.IsMinimized());
  TestLibrary::SetSharedRequest(u"\"Zelk://download/a=1\"");
  Post(WM_URL_PROTOCOL_ARRIVED);
  EXPECT_EQ(f.urlRequests, (std::vector<std::u16string>{u"Zelk://download/a=1"}));
  EXPECT_TRUE(Logged("接收到URL协议"));
  EXPECT_FALSE(f.IsMinimized());
  EXPECT_TRUE(f.IsActive());
}

// ---------------------------------------------------------------------------------------------
// Notifications

TEST_F(FrameTest, QuickBarOptionsSelectTheirPagesWhateverTheLetterCase) {
  RecordingFrame& f = Open();
  auto& desktop = pm().Find<skinui::TabLayout>("tluDesktop");
  Click("quickBar_Cooperation");
  EXPECT_EQ(desktop.GetCurSel(), 9);
  auto& option = pm().Find<skinui::Option>("quickBar_AppMarket");
  option.SetName("QUICKBAR_appmarket");
  Click("QUICKBAR_appmarket");
  EXPECT_EQ(desktop.GetCurSel(), 2);
  f.Take();
  Click("quickBar_Knowlege");
  EXPECT_EQ(desktop.GetCurSel(), 1);
  EXPECT_EQ(f.Take(), (std::vector<std::string>{"DoResizeKnowlegeSearchArea"}));
}

TEST_F(FrameTest, TheKnowlegeQuickBarReturnsToTheResultsOnceShown) {
  RecordingFrame& f = Open();
  Click("quickBar_Knowlege");
  pm().UpdateLayout();
  auto& desktop = pm().Find<skinui::TabLayout>("tluKnowlege_Desktop");
  Click("knowlege_quickBar__downloded");
  EXPECT_EQ(desktop.GetCurSel(), 3);
  Click("knowlege_quickBar_downloding");
  EXPECT_EQ(desktop.GetCurSel(), 2);
  Click("knowlege_quickBar_Search");
  EXPECT_EQ(desktop.GetCurSel(), 0);
  f.KnowlegeView().resultPageShown = true;
  Click("knowlege_quickBar_downloding");
  Click("knowlege_quickBar_Search");
  EXPECT_EQ(desktop.GetCurSel(), 1);
  Click("btnKnowlegeSearchResultGoBack");
  EXPECT_EQ(desktop.GetCurSel(), 0);
}

TEST_F(FrameTest, ScrollingTheFinishedListAsksForMoreRowsAndOtherListsDoNot) {
  RecordingFrame& f = Open();
  Click("quickBar_Knowlege");
  for (const char* name : {"lstKnowlegeDownloaded", "lstKnowlegeDownloading"}) {
    auto& list = pm().Find<skinui::List>(name);
    for (int i = 0; i < 40; ++i) {
      auto row = std::make_unique<skinui::Control>();
      row->SetFixedHeight(60);
      list.Add(std::move(row));
    }
  }
  // The list of each page scrolled by ten rows: what the frame asked of its features.
  const auto scroll = [&](const char* page, const char* name) {
    Click(page);
    pm().UpdateLayout();
    f.Take();
    auto& list = pm().Find<skinui::List>(name);
    list.SetScrollY(600);
    Settle();
    EXPECT_EQ(list.GetScrollY(), 600);
    return f.Take();
  };
  EXPECT_EQ(scroll("knowlege_quickBar__downloded", "lstKnowlegeDownloaded"),
            std::vector<std::string>{"OnFinishedListScrolled"});
  EXPECT_EQ(scroll("knowlege_quickBar_downloding", "lstKnowlegeDownloading"),
            std::vector<std::string>{});
}

TEST_F(FrameTest, EnterSearchesOrMovesAlongTheAccountFields) {
  RecordingFrame& f = Open();
  f.Take();
  pm().SendNotify(pm().FindControl("txtKnowlegeSearchKeyword"), "return");
  pm().SendNotify(pm().FindControl("txtAppMarketSearchEdit"), "return");
  EXPECT_EQ(f.Take(), (std::vector<std::string>{"StartKnowlegeSearch", "OnAppMarketSearch"}));
  pm().SendNotify(pm().FindControl("txtLoginIdForLogin"), "return");
  EXPECT_EQ(pm().GetFocus(), pm().FindControl("txtLoginPwdForLogin"));
  pm().SendNotify(pm().FindControl("txtRepeatPasswordForRegister"), "return");
  EXPECT_EQ(pm().GetFocus(), pm().FindControl("opRememberPwdForRegister"));
}

TEST_F(FrameTest, TheLoginOptionsKeepTheirPairRule) {
  Open();
  auto& remember = pm().Find<skinui::Option>("opRememberPwdForLogin");
  auto& autoLogin = pm().Find<skinui::Option>("opAutoLoginForLogin");
  remember.Selected(true);
  autoLogin.Selected(true);
  remember.Selected(false);  // notifies "selectchanged"
  EXPECT_FALSE(autoLogin.IsSelected());
  autoLogin.Selected(true);
  EXPECT_TRUE(remember.IsSelected());
  auto& rememberRegister = pm().Find<skinui::Option>("opRememberPwdForRegister");
  rememberRegister.Selected(false);
  pm().Find<skinui::Option>("opAutoLoginForRegister").Selected(true);
  EXPECT_TRUE(rememberRegister.IsSelected());
}

TEST_F(FrameTest, MenuItemsGoToTheirMenusHandlers) {
  RecordingFrame& f = Open();
  f.Take();
  pm().SendNotify(pm().FindControl("menubtn"), "main_menu_item_About");
  pm().SendNotify(pm().FindControl("btnMenuForUserCenter"), "ucenter_menu_item_Logout");
  Click("menubtn");
  Click("btnMenuForUserCenter");
  Click("btnAppMarketDownloadMng");
  EXPECT_EQ(f.Take(), (std::vector<std::string>{"OnMainMenuItem:main_menu_item_About",
                                                "OnUserCenterMenuItem:ucenter_menu_item_Logout",
                                                "OpenMainMenu", "OpenUserCenterMenu",
                                                "ShowAppDownloadManager"}));
}

TEST_F(FrameTest, ClicksReachTheFeaturesOfTheDispatcherTable) {
  RecordingFrame& f = Open();
  f.Take();
  for (const char* name :
       {"btnKnowlegeSearchSearch", "btnHomeAppEdit", "btnLogin", "btnRegister", "btnLoginForLogin",
        "btnGetSMSCodeForRegister", "feedbackbtn", "btnShareTo_ShareToSina_For_HomeRight",
        "btnUserMessage", "btnSeeMoreNews", "btnShowContactFrame"}) {
    Click(name);
  }
  EXPECT_EQ(f.Take(), (std::vector<std::string>{
                          "StartKnowlegeSearch", "ToggleHomeAppEditMode", "ShowLoginFrame",
                          "ShowRegisterFrame", "DoLogin", "DoSendSMSCode", "ShowFeedbackWindow",
                          "OnShareClick:btnShareTo_ShareToSina_For_HomeRight",
                          "ShowUserMessageWindow", "OpenNewsSite", "ShowContactWindow"}));
  auto& cancel = *pm().FindControl("btnCancelForLogin");
  pm().FindControl("vluLoginFrame")->SetVisible(true);
  pm().FindControl("vluMainFrame")->SetVisible(false);
  pm().SendNotify(&cancel, "click");
  EXPECT_TRUE(pm().FindControl("vluMainFrame")->IsVisible());
  EXPECT_FALSE(pm().FindControl("vluLoginFrame")->IsVisible());
}

TEST_F(FrameTest, HelpButtonsOpenTheServicesHelpPages) {
  Open();
  Click("btnKnowlegeSearchHelpForUrl");
  Click("helpbtn");
  frame().SendMessage(skinui::WM_HELP);
  const auto opened = Opened();
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0].verb, "open");
  EXPECT_TRUE(opened[0].target.ends_with("/help/help_3.htm#1")) << opened[0].target;
  EXPECT_TRUE(opened[1].target.ends_with("/help/?ref=zelk")) << opened[1].target;
  EXPECT_EQ(opened[2].target, opened[1].target);
}

TEST_F(FrameTest, TheDownloadFolderIsOpenedOnlyWhenItExists) {
  Open();
  Click("btnOpenDownloadDir");
  EXPECT_TRUE(Opened().empty());
  std::filesystem::create_directories(dir_.file("Downloads/Knowlege"));
  Click("btnOpenDownloadDir");
  ASSERT_EQ(Opened().size(), 1u);
  EXPECT_EQ(Opened()[0].target, dir_.file("Downloads/Knowlege"));
}

// ---------------------------------------------------------------------------------------------
// System messages

TEST_F(FrameTest, TheSystemCloseCommandEndsTheLoopWithoutAsking) {
  RecordingFrame& f = Open();
  f.SendMessage(skinui::WM_CLOSE);
  EXPECT_TRUE(f.IsWindow());
  EXPECT_FALSE(LoopWasQuit());
  f.SendMessage(skinui::WM_SYSCOMMAND, skinui::SC_CLOSE);
  EXPECT_TRUE(LoopWasQuit());
  auto* box = ui_.SharedWindow(skinui::CLibMessageBox::kSharedKey);
  EXPECT_TRUE(box == nullptr || !box->IsVisible());
}

TEST_F(FrameTest, TheCloseButtonAsksAndEndsOnlyAfterOk) {
  RecordingFrame& f = Open();
  // Answers the box from inside its wait, as the user would.
  class Answer final : public platform::MessageTarget {
   public:
    Answer(skinui::UiContext& ui, const char* button) : ui_(ui), button_(button) {
      id_ = ui.Loop().addTarget(*this);
    }
    ~Answer() override { ui_.Loop().removeTarget(id_); }
    void onMessage(platform::Message&) override {
      auto* box = dynamic_cast<skinui::CLibMessageBox*>(
          ui_.SharedWindow(skinui::CLibMessageBox::kSharedKey));
      ASSERT_NE(box, nullptr);
      text = box->GetMessageText();
      icon = box->GetIconKind();
      box->GetPaintManager().SendNotify(box->GetPaintManager().FindControl(button_), "click");
    }
    platform::WindowId id_ = 0;
    std::u16string text;
    int icon = -1;

   private:
    skinui::UiContext& ui_;
    const char* button_;
  };
  {
    Answer cancel(ui_, "btnCancel");
    loop_.post(cancel.id_, 1);
    Click("closebtn");
    EXPECT_EQ(cancel.text, u"确定要关闭Tamsel？");
    EXPECT_EQ(cancel.icon, 3);
    EXPECT_FALSE(LoopWasQuit());
  }
  {
    Answer ok(ui_, "btnOK");
    loop_.post(ok.id_, 1);
    Click("closebtn");
    EXPECT_TRUE(LoopWasQuit());
  }
  EXPECT_TRUE(f.IsWindow());
}

TEST_F(FrameTest, MaximisingSwapsTheMaximiseAndRestoreButtons) {
  RecordingFrame& f = Open();
  Click("maxbtn");
  EXPECT_TRUE(f.IsMaximized());
  EXPECT_FALSE(pm().FindControl("maxbtn")->IsVisible());
  EXPECT_TRUE(pm().FindControl("restorebtn")->IsVisible());
  // Maximised to the work area of the screen.
  EXPECT_EQ(f.GetWindowRect(), ui_.Backend().WorkArea());
  Click("restorebtn");
  EXPECT_FALSE(f.IsMaximized());
  EXPECT_TRUE(pm().FindControl("maxbtn")->IsVisible());
  EXPECT_FALSE(pm().FindControl("restorebtn")->IsVisible());
  EXPECT_EQ(f.GetWindowRect().Width(), 1200);
  Click("minbtn");
  EXPECT_TRUE(f.IsMinimized());
}

TEST_F(FrameTest, HitTestingFindsEdgesCaptionAndControls) {
  RecordingFrame& f = Open();
  const skinui::Rect window = f.GetWindowRect();
  auto hit = [&](int x, int y) {
    return f.SendMessage(skinui::WM_NCHITTEST, 0,
                         skinui::MakePointParam(window.left + x, window.top + y));
  };
  EXPECT_EQ(hit(1, 1), skinui::HTTOPLEFT);
  EXPECT_EQ(hit(600, 1), skinui::HTTOP);
  EXPECT_EQ(hit(1198, 450), skinui::HTRIGHT);
  EXPECT_EQ(hit(600, 898), skinui::HTBOTTOM);
  // The caption label and the empty tool bar drag the window; buttons and options do not.
  EXPECT_EQ(hit(600, 16), skinui::HTCAPTION);
  EXPECT_EQ(hit(1100, 60), skinui::HTCAPTION);
  const skinui::Point close = pm().FindControl("closebtn")->GetPos().Center();
  EXPECT_EQ(hit(close.x, close.y), skinui::HTCLIENT);
  const skinui::Point home = pm().FindControl("quickBar_Home")->GetPos().Center();
  EXPECT_EQ(hit(home.x, home.y), skinui::HTCLIENT);
  EXPECT_EQ(hit(600, 500), skinui::HTCLIENT);
}

TEST_F(FrameTest, ResizingLaysTheFeatureAreasOutAgain) {
  RecordingFrame& f = Open();
  f.Take();
  f.ResizeClient(1400, 1000);
  pm().UpdateLayout();
  EXPECT_EQ(f.Take(), (std::vector<std::string>{
                          "DoRefreshHomeAppButtons", "DoRefreshKnowlegePageIndexButtons",
                          "DoResizeKnowlegeSearchArea", "DoResizeLoginFrameArea",
                          "DoResizeRegisterFrameArea", "DoResizeChangePasswordFrameArea"}));
  EXPECT_EQ(pm().FindControl("vluHome_RightClient")->GetPos().left, 1400 - 300);
  EXPECT_EQ(pm().FindControl("hluLoginClientLeft")->GetFixedWidth(), (1400 - 420 - 10) / 2);
  EXPECT_EQ(pm().FindControl("hluLoginClientTop")->GetFixedHeight(),
            (1000 - 32 - 88 - 320 - 24) / 2);
  EXPECT_EQ(pm().FindControl("hluRegisterClientTop")->GetFixedHeight(),
            (1000 - 32 - 88 - 420 - 24) / 2);
}

// ---------------------------------------------------------------------------------------------
// Skin

TEST_F(FrameTest, AColourChoiceColoursRootAndIsStored) {
  RecordingFrame& f = Open();
  EXPECT_EQ(pm().FindControl("Root")->GetBkImage(), "skin/bg01.png");
  ui::SkinChangedObserver().Broadcast({true, 0xFFD9534F, {}});
  EXPECT_EQ(pm().FindControl("Root")->GetBkColor(), 0xFFD9534Fu);
  EXPECT_EQ(pm().FindControl("Root")->GetBkImage(), "");
  EXPECT_TRUE(f.GetSkin().colorMode);
  EXPECT_TRUE(ui_.GetSkinLook().colorMode);
  const core::StoredSkin stored = lib_.binding().LoadSkinData(lib_.binding().programDirectory());
  EXPECT_EQ(stored.imageMode, u"0");
  EXPECT_EQ(lib_.binding().StringToDWORD(stored.colour), 0xFFD9534Fu);
}

TEST_F(FrameTest, TheStoredSkinIsAppliedAtTheNextStart) {
  Open();
  ui::SkinChangedObserver().Broadcast({true, 0xFF2E9E6B, {}});
  CloseFrame();
  Open();
  EXPECT_EQ(pm().FindControl("Root")->GetBkColor(), 0xFF2E9E6Bu);
  EXPECT_EQ(pm().FindControl("Root")->GetBkImage(), "");
  ui::SkinChangedObserver().Broadcast({false, 0, "skin/bg05.png"});
  CloseFrame();
  Open();
  EXPECT_EQ(pm().FindControl("Root")->GetBkImage(), "skin/bg05.png");
  EXPECT_EQ(pm().FindControl("Root")->GetBkColor(), 0u);
}

TEST_F(FrameTest, TheSkinWindowOpensBelowItsButtonAndBroadcastsChoices) {
  RecordingFrame& f = Open();
  Click("skinbtn");
  auto* skin = dynamic_cast<ui::CSkinFrame*>(ui_.FindWindowByClass("UISkinFrame"));
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin->GetCaption(), u"skinframe");
  EXPECT_NE(skin->GetExStyle() & skinui::WS_EX_TOOLWINDOW, 0u);
  EXPECT_NE(skin->GetExStyle() & skinui::WS_EX_TOPMOST, 0u);
  const skinui::Rect button = pm().FindControl("skinbtn")->GetPos();
  EXPECT_EQ(skin->GetWindowRect().right, f.GetWindowRect().left + button.right);
  EXPECT_EQ(skin->GetWindowRect().top, f.GetWindowRect().top + button.bottom);

  skinui::PaintManager& spm = skin->GetPaintManager();
  spm.SendNotify(spm.FindControl("skin_color"), "click");
  EXPECT_EQ(spm.Find<skinui::TabLayout>("skin_tab").GetCurSel(), 1);
  auto& colours = spm.Find<skinui::Container>("tluSkinColors");
  Control* fourth = colours.GetItemAt(3);
  spm.SendNotify(fourth, "click");
  EXPECT_EQ(pm().FindControl("Root")->GetBkColor(), fourth->GetBkColor());
  spm.SendNotify(spm.FindControl("skin_image"), "click");
  EXPECT_EQ(spm.Find<skinui::TabLayout>("skin_tab").GetCurSel(), 0);
  Control* image = spm.Find<skinui::Container>("tluSkinImages").GetItemAt(6);
  spm.SendNotify(image, "click");
  EXPECT_EQ(pm().FindControl("Root")->GetBkImage(), image->GetBkImage());
  EXPECT_EQ(pm().FindControl("Root")->GetBkColor(), 0u);

  // Another window taking the focus closes it.
  ui_.SetActiveWindow(&f);
  Settle();
  EXPECT_EQ(ui_.FindWindowByClass("UISkinFrame"), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Damaged skins

std::string SkinWithout(const testing_support::TempDir& dir, const std::vector<std::string>& cuts) {
  const std::string folder = dir.file("DamagedSkin");
  std::filesystem::copy(StagedSkin(), folder, std::filesystem::copy_options::recursive);
  std::ifstream in(folder + "/main_frame.xml");
  std::string xml((std::istreambuf_iterator<char>(in)), {});
  for (const std::string& name : cuts) {
    const std::string attribute = "name=\"" + name + "\"";
    const std::size_t at = xml.find(attribute);
    if (at != std::string::npos) xml.replace(at, attribute.size(), "name=\"gone_" + name + "\"");
  }
  std::ofstream(folder + "/main_frame.xml") << xml;
  return folder;
}

TEST_F(FrameTest, AMissingControlIsLoggedByNameAndItsFeatureStaysInert) {
  RecordingFrame& f = Open(SkinWithout(dir_, {"hluNetworkStateImage", "tluDesktop", "closebtn"}));
  const std::vector<std::string> log = Log();
  for (const char* name : {"hluNetworkStateImage", "tluDesktop", "closebtn"}) {
    EXPECT_EQ(std::count(log.begin(), log.end(),
                         "界面布局中缺少控件 " + std::string(name) + "，相关功能不可用"),
              1)
        << name;
  }
  Post(WM_NETWORK_ERROR);
  EXPECT_EQ(f.GetNetworkState(), ui::NetworkState::Unreachable);
  Click("quickBar_Game");
  Click("quickBar_Home");
  // Still only one line each: the lookups after the first stay quiet.
  const std::vector<std::string> later = Log();
  EXPECT_EQ(std::count(later.begin(), later.end(), "界面布局中缺少控件 tluDesktop，相关功能不可用"),
            1);
  EXPECT_TRUE(Logged("DoShowIntroduce"));
}

TEST_F(FrameTest, WithoutItsLayoutTheFrameStillRunsItsSteps) {
  testing_support::TempDir empty;
  RecordingFrame& f = Open(empty.path());
  EXPECT_TRUE(Logged("无法加载界面布局 main_frame.xml"));
  EXPECT_TRUE(Logged("DoShowIntroduce"));
  EXPECT_TRUE(f.IsInitialised());
  Post(WM_NETWORK_RESTORED);
  EXPECT_EQ(f.GetNetworkState(), ui::NetworkState::Reachable);
}

}  // namespace
}  // namespace ui_testing
