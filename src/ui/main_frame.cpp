#include "ui/main_frame.h"

#include <array>
#include <exception>
#include <set>

#include "core/app_directory.h"
#include "core/app_log.h"
#include "core/command_line.h"
#include "core/window_messages.h"
#include "core/window_timers.h"
#include "net/endpoints.h"
#include "net/service_requests.h"
#include "net/usage_report.h"
#include "platform/code_page.h"
#include "skinui/frame_hit_test.h"
#include "skinui/label.h"
#include "skinui/lib_message_box.h"
#include "skinui/option.h"
#include "skinui/tab_layout.h"
#include "skinui/ui_context.h"
#include "skinui/window_messages.h"
#include "ui/download_receiver.h"
#include "ui/empty_list_image.h"
#include "ui/empty_list_row.h"
#include "ui/enter_focus_chain.h"
#include "ui/login_option_pair.h"
#include "ui/name_match.h"
#include "ui/private_message_table.h"
#include "ui/quick_bar_pages.h"
#include "ui/skin_frame.h"
#include "ui/stored_skin.h"

namespace ui {
namespace {

using namespace skinui;
using namespace core;

constexpr std::array<const char*, 6> kWebTabs = {
    "ie_for_game",  "ie_for_faq",      "ie_for_project_template",
    "ie_for_video", "ie_for_navigate", "ie_for_share_each_day"};

// Names the frame itself works with besides its seven buttons; a skin without one of them
// leaves that part of the frame inert.
constexpr std::array<const char*, 11> kFrameAreas = {
    "Root",          "lblMainFormCaption",  "vluMainFrame",
    "vluLoginFrame", "vluRegisterFrame",    "vluChangePasswordFrame",
    "tluDesktop",    "tluKnowlege_Desktop", "tluHome_Right_UserCenterDesktop",
    "appBar",        "btnUserMessage"};

constexpr int kRestoreSettleMs = 300;

std::u16string Wide(std::string_view utf8) {
  return platform::Utf8ToUtf16(utf8);
}

std::string Narrow(std::u16string_view text) {
  return platform::Utf16ToUtf8(text);
}

}  // namespace

CMainFrame::CMainFrame(UiContext& context, MainFrameEnvironment environment)
    : Window(context),
      env_(std::move(environment)),
      host_(*this, env_.binding, env_.dataDirectory, listMutex_) {
  // The client's typeface at 12 pixels; fontconfig falls back to an installed Chinese face.
  paintManager_.SetDefaultFont("微软雅黑", 12, false, false, false);
}

CMainFrame::~CMainFrame() {
  updateCheck_->abandoned = true;
  SkinChangedObserver().RemoveReceiver(this);
  if (IsWindow()) Destroy();
  paintManager_.RemoveNotifier(this);
  paintManager_.RemovePreMessageFilter(this);
  // The controls go while the frame is whole: web tabs still name it as their handler.
  paintManager_.AttachDialog(nullptr);
  // The features go before the host they reach the frame through.
  features_ = {};
}

bool CMainFrame::CreateMainWindow() {
  // Shown as its style asks, but only once centred: a window that appears in the corner and is
  // then moved costs the display a copy of it, and the user a jump, before the first frame.
  if (!Create(nullptr, std::u16string(kCaption), kStyle & ~skinui::WS_VISIBLE, 0, 0, 0, kWidth,
              kHeight)) {
    return false;
  }
  CenterWindow();
  ShowWindow(true, true);
  return true;
}

void CMainFrame::Log(std::u16string_view line) {
  host_.Log(line);
}

void CMainFrame::Log(const std::string& utf8Line) {
  host_.Log(Wide(utf8Line));
}

template <class F>
void CMainFrame::Guard(std::u16string_view what, F&& work) {
  try {
    work();
  } catch (const std::exception& e) {
    Log(std::u16string(what) + u" 出现异常:" + Wide(e.what()));
  } catch (...) {
    Log(std::u16string(what) + u" 出现未知异常");
  }
}

// ---------------------------------------------------------------------------------------------
// Creation

std::intptr_t CMainFrame::HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate();
    case WM_CLOSE:
      // Closing goes through the close button (which asks) or the system close command.
      return 0;
    case WM_DESTROY:
      GetContext().Loop().quit(0);
      return 0;
    case WM_NCACTIVATE:
      if (IsMinimized()) break;
      return wParam == 0 ? 1 : 0;
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
      return 0;
    case WM_NCHITTEST:
      return OnNcHitTest(lParam);
    case WM_SIZE:
      OnSize(wParam);
      break;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(lParam);
      return 0;
    case WM_SYSCOMMAND:
      return OnSysCommand(wParam, lParam);
    case WM_HELP:
      OpenHelpPage();
      return 0;
    case WM_TIMER:
      if (IsFrameTimer(wParam)) {
        OnTimer(static_cast<std::uint32_t>(wParam));
        return 0;
      }
      break;
    default:
      if (HandlePrivateMessage(message, reinterpret_cast<platform::Payload*>(lParam))) return 0;
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

std::intptr_t CMainFrame::OnCreate() {
  // No system caption: the layout draws the frame; children are not painted over.
  SetStyle((GetStyle() & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  paintManager_.AddPreMessageFilter(this);
  BuildLayout();
  paintManager_.AddNotifier(this);
  InitWindow();
  return 0;
}

void CMainFrame::BuildLayout() {
  // Without its layout the window still runs its steps and timers, with every feature inert.
  AttachLayout(kLayoutFile, [this](const std::string& line) { Log(line); });
}

void CMainFrame::OnFinalMessage() {
  paintManager_.RemovePreMessageFilter(this);
}

std::intptr_t CMainFrame::MessageHandler(std::uint32_t, std::uintptr_t, std::intptr_t,
                                         bool& handled) {
  handled = false;
  return 0;
}

void CMainFrame::InitWindow() {
  SkinChangedObserver().AddReceiver(this);
  // The features exist from here on; the shadow's class is the secondary windows' business.
  if (env_.makeFeatures) env_.makeFeatures(host_, features_);
  CompleteFeatures(host_, features_);
  features_.webPages->SetShowMainFormArea([this] { DoShowMainFormArea(); });
  Guard(u"InitShadowWindowClass", [this] { features_.windows->InitShadowWindowClass(); });
  Log(u"Init Begin");
  Guard(u"ApplyStoredSkin", [this] { ApplyStoredSkin(); });
  LookUpFrameControls();
  Guard(u"FillKnowlegeSearchTypes",
        [this] { features_.knowledgeSearch->FillKnowlegeSearchTypes(); });
  Guard(u"ReportClientStart", [this] { net::ReportClientStart(host_.Service()); });
  Guard(u"CheckAppVersions", [this] { features_.homeAppButtons->CheckAppVersions(); });
  Guard(u"SetUpHomeShareButtons", [this] { features_.home->SetUpHomeShareButtons(); });
  Guard(u"PrepareWebTabs", [this] { PrepareWebTabs(); });
  Log(u"Init End");
}

void CMainFrame::LookUpFrameControls() {
  closeBtn_ = Lookup<Button>("closebtn");
  maxBtn_ = Lookup<Button>("maxbtn");
  restoreBtn_ = Lookup<Button>("restorebtn");
  minBtn_ = Lookup<Button>("minbtn");
  skinBtn_ = Lookup<Button>("skinbtn");
  menuBtn_ = Lookup<Button>("menubtn");
  networkStateImage_ = Lookup<HorizontalLayout>("hluNetworkStateImage");
  for (const char* name : kFrameAreas) Lookup<Control>(name);
}

void CMainFrame::ApplyStoredSkin() {
  const core::StoredSkin stored = env_.binding.LoadSkinData(env_.binding.dataDirectory());
  const StoredSkinValues values{stored.imageMode == u"1", env_.binding.StringToDWORD(stored.colour),
                                Narrow(stored.image)};
  if (const auto look = LookOfStoredSkin(values)) ApplySkin(*look);
}

void CMainFrame::ApplySkin(const SkinLook& look) {
  ApplySkinLook(paintManager_.FindControl("Root"), look);
  skin_ = look;
  // The message box and the notice follow the same look.
  GetContext().SetSkinLook(look);
  Invalidate();
}

void CMainFrame::PrepareWebTabs() {
  for (const char* name : kWebTabs) {
    if (auto* browser = Lookup<WebBrowser>(name)) {
      browser->SetWebBrowserEventHandler(this);
      browser->Navigate("about:blank");
    }
  }
}

void CMainFrame::NavigateComplete(WebBrowser& browser, const std::string&) {
  Guard(u"NavigateComplete", [&] { features_.webPages->OnNavigateComplete(browser); });
}

void CMainFrame::NavigateError(WebBrowser& browser, const std::string& url, int status) {
  Guard(u"NavigateError", [&] { features_.webPages->OnNavigateError(browser, url, status); });
}

void CMainFrame::PageCommand(WebBrowser& browser, const std::vector<std::u16string>& args) {
  Guard(u"PageCommand", [&] { features_.webPages->OnPageCommand(browser, args); });
}

std::uint32_t CMainFrame::GetHostInfoFlags(WebBrowser&) {
  return features_.webPages ? features_.webPages->TabHostInfoFlags() : 0;
}

// ---------------------------------------------------------------------------------------------
// Start-up sequence

void CMainFrame::RunStartupSequence() {
  if (startupDone_) return;
  startupDone_ = true;
  MainFrameFeatures& f = features_;
  struct Step {
    std::u16string_view logLine;
    std::function<void()> operation;
  };
  const std::array<Step, 21> steps = {{
      {u"DoShowMainFormArea_End", [this] { DoShowMainFormArea(); }},
      {u"DoRefreshHomeAppButtons", [&f] { f.homeAppButtons->DoRefreshHomeAppButtons(); }},
      {u"DoInitAppMarketCategory", [&f] { f.appCenter->DoInitAppMarketCategory(); }},
      {u"DoRefreshKnowlegePageIndexButtons",
       [&f] { f.knowledgeSearch->DoRefreshKnowlegePageIndexButtons(); }},
      {u"DoRefreshDownloadList", [&f] { f.knowledgeLists->DoRefreshDownloadList(); }},
      {u"DoRefreshLastestNews", [&f] { f.home->DoRefreshLastestNews(); }},
      {u"DoResizeLoginFrameArea", [&f] { f.account->DoResizeLoginFrameArea(); }},
      {u"DoResizeRegisterFrameArea", [&f] { f.account->DoResizeRegisterFrameArea(); }},
      {u"DoResizeChangePasswordFrameArea", [&f] { f.account->DoResizeChangePasswordFrameArea(); }},
      {u"DoRefreshForFAQ", [&f] { f.webPages->DoRefreshForFAQ(); }},
      {u"DoRefreshForVideoNavigate", [&f] { f.webPages->DoRefreshForVideoNavigate(); }},
      {u"DoRefreshForGameNavigate", [&f] { f.webPages->DoRefreshForGameNavigate(); }},
      {u"DoRefreshNavigate", [&f] { f.webPages->DoRefreshNavigate(); }},
      {u"DoRefreshForProjectTemplateNavigate",
       [&f] { f.webPages->DoRefreshForProjectTemplateNavigate(); }},
      {u"DoRefreshShareEachDay", [&f] { f.webPages->DoRefreshShareEachDay(); }},
      {u"DoRefreshSumaryInfo", [&f] { f.home->DoRefreshSumaryInfo(); }},
      {u"DoAutoLoginByConfig", [&f] { f.account->DoAutoLoginByConfig(); }},
      {u"InitializeTimer", [this] { InitializeTimer(); }},
      {u"DoCheckUpdate", [this] { DoCheckUpdate(); }},
      {u"DoInitializeCommForms", [this] { MarkInitialisedAndCreateCommForms(); }},
      {u"DoShowIntroduce", [&f] { f.webPages->DoShowIntroduce(); }},
  }};
  Log(u"windowinit");
  Log(u"DoShowMainFormArea_Begin");
  for (const Step& step : steps) {
    Guard(step.logLine, step.operation);
    Log(step.logLine);
  }
}

void CMainFrame::DoShowMainFormArea() {
  Log(u"DoShowMainFormArea_m_UIKind_Begin");
  uiKind_ = 0;
  Log(u"DoShowMainFormArea_m_UIKind_End");

  Log(u"DoShowMainFormArea_lblMainFormCaption_Begin");
  if (auto* caption = Lookup<Control>("lblMainFormCaption")) {
    caption->SetText(env_.binding.IsWin64() ? u"Tamsel v3.1 - [64位模式]"
                                            : u"Tamsel v3.1 - [32位模式]");
  }
  Log(u"DoShowMainFormArea_lblMainFormCaption_End");

  Log(u"DoShowMainFormArea_Areas_Begin");
  if (auto* main = Lookup<Control>("vluMainFrame")) main->SetVisible(true);
  for (const char* area : {"vluLoginFrame", "vluRegisterFrame", "vluChangePasswordFrame"}) {
    if (auto* control = Lookup<Control>(area)) control->SetVisible(false);
  }
  Log(u"DoShowMainFormArea_Areas_End");

  Log(u"DoShowMainFormArea_UserCenter_Begin");
  if (auto* userCenter = Lookup<TabLayout>("tluHome_Right_UserCenterDesktop")) {
    if (const auto& user = features_.account->LoggedInUser()) {
      userCenter->SelectItem(2);
      if (auto* id = Lookup<Control>("txtUserIdForUserCenter")) id->SetText(user->loginId);
      if (auto* nick = Lookup<Control>("txtNickNameForUserCenter")) nick->SetText(user->nickName);
    } else {
      userCenter->SelectItem(0);
    }
  }
  Log(u"DoShowMainFormArea_UserCenter_End");
}

void CMainFrame::InitializeTimer() {
  for (const TimerPeriod& timer : kStartupTimers) SetTimer(timer.id, timer.periodMs);
}

void CMainFrame::DoCheckUpdate() {
  core::DoCheckUpdate(GetContext().Loop(), updateCheck_, env_.binding,
                      env_.binding.programDirectory(), env_.updater);
}

void CMainFrame::MarkInitialisedAndCreateCommForms() {
  initialised_ = true;
  features_.windows->DoInitializeCommForms();
}

// ---------------------------------------------------------------------------------------------
// System messages

std::intptr_t CMainFrame::OnNcHitTest(std::intptr_t lParam) {
  return NonClientHitTest(*this, {PointParamX(lParam), PointParamY(lParam)});
}

void CMainFrame::OnSize(std::uintptr_t sizeKind) {
  if (sizeKind == SIZE_MINIMIZED) return;
  ApplyRoundCorners(sizeKind);
  if (!initialised_) return;
  MainFrameFeatures& f = features_;
  Guard(u"DoRefreshHomeAppButtons", [&f] { f.homeAppButtons->DoRefreshHomeAppButtons(); });
  Guard(u"DoRefreshKnowlegePageIndexButtons",
        [&f] { f.knowledgeSearch->DoRefreshKnowlegePageIndexButtons(); });
  Guard(u"DoResizeKnowlegeSearchArea", [&f] { f.knowledgeSearch->DoResizeKnowlegeSearchArea(); });
  Guard(u"DoResizeLoginFrameArea", [&f] { f.account->DoResizeLoginFrameArea(); });
  Guard(u"DoResizeRegisterFrameArea", [&f] { f.account->DoResizeRegisterFrameArea(); });
  Guard(u"DoResizeChangePasswordFrameArea", [&f] { f.account->DoResizeChangePasswordFrameArea(); });
}

void CMainFrame::OnGetMinMaxInfo(std::intptr_t lParam) {
  auto* info = reinterpret_cast<MinMaxInfo*>(lParam);
  if (info == nullptr) return;
  DefWindowProc(WM_GETMINMAXINFO, 0, lParam);
  // Maximised, the window covers the work area of its screen (not the panels), at its corner.
  const Rect work = GetContext().Backend().WorkArea();
  info->maxX = work.left;
  info->maxY = work.top;
  info->maxWidth = work.Width();
  info->maxHeight = work.Height();
}

std::intptr_t CMainFrame::OnSysCommand(std::uintptr_t wParam, std::intptr_t lParam) {
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    // Alt+F4, the task bar and the automation's quit end the client without asking.
    GetContext().Loop().quit(0);
    return 0;
  }
  const bool wasMaximized = IsMaximized();
  const std::intptr_t result = Window::HandleMessage(WM_SYSCOMMAND, wParam, lParam);
  if (wasMaximized != IsMaximized() && maxBtn_ != nullptr && restoreBtn_ != nullptr) {
    maxBtn_->SetVisible(!IsMaximized());
    restoreBtn_->SetVisible(IsMaximized());
  }
  return result;
}

void CMainFrame::OpenHelpPage() {
  host_.ShellOpen(net::BuildServiceUrl(env_.binding, net::endpoints::kHelp));
}

// ---------------------------------------------------------------------------------------------
// Notifications

void CMainFrame::Notify(TNotifyUI& msg) {
  try {
    const std::string& type = msg.sType;
    if (type == "windowinit") {
      RunStartupSequence();
    } else if (type == "itemclick") {
      features_.home->OnLastestNewsItemClick(msg);
    } else if (type == "return") {
      OnReturn(msg);
    } else if (type.starts_with("main_menu_item_")) {
      features_.windows->OnMainMenuItem(type);
    } else if (type.starts_with("ucenter_menu_item_")) {
      features_.windows->OnUserCenterMenuItem(type);
    } else if (type == "click") {
      OnClick(msg);
    } else if (type == "selectchanged") {
      OnSelectChanged(msg);
    } else if (type == "scroll" && msg.pSender != nullptr &&
               msg.pSender->GetName() == "lstKnowlegeDownloaded") {
      features_.knowledgeLists->OnFinishedListScrolled();
    }
  } catch (const std::exception& e) {
    Log("处理界面通知 " + msg.sType + " 出现异常:" + e.what());
  } catch (...) {
    Log("处理界面通知 " + msg.sType + " 出现未知异常");
  }
}

void CMainFrame::OnReturn(TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (name == "txtAppMarketSearchEdit") {
    features_.appCenter->OnAppMarketSearch();
  } else if (name == "txtKnowlegeSearchKeyword" || name == "txtKnowlegeSearchResultKeyword") {
    features_.knowledgeSearch->StartKnowlegeSearch();
  } else if (const std::string_view next = NextInEnterChain(name); !next.empty()) {
    if (Control* control = Lookup<Control>(next)) paintManager_.SetFocus(control);
  }
}

void CMainFrame::OnClick(TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  const std::string name = msg.pSender->GetName();
  if (name == "closebtn") {
    if (AskToClose()) GetContext().Loop().quit(0);
  } else if (name == "minbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
  } else if (name == "maxbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
  } else if (name == "restorebtn") {
    SendMessage(WM_SYSCOMMAND, SC_RESTORE);
  } else if (name == "skinbtn") {
    OpenSkinFrame();
  } else if (name == "menubtn") {
    features_.windows->OpenMainMenu(msg.ptMouse);
  } else if (name == "btnMenuForUserCenter") {
    features_.windows->OpenUserCenterMenu(msg.ptMouse);
  } else if (name == "btnAppMarketDownloadMng") {
    features_.appCenter->ShowAppDownloadManager();
  } else {
    DispatchFeatureClick(ClassifyFeatureClick(name), msg);
  }
}

bool CMainFrame::AskToClose() {
  return ShowLibMessageBox(this, 3, 3, u"确定要关闭Tamsel？", 160, false) == 1;
}

void CMainFrame::OpenSkinFrame() {
  if (skinBtn_ == nullptr) return;
  // One skin window at a time: an open one gives way to the new one.
  for (Window* window : std::vector<Window*>(GetContext().Windows())) {
    if (window->IsWindow() && window->GetWindowClassName() == CSkinFrame::kClassName) {
      window->Close();
    }
  }
  const Rect button = skinBtn_->GetPos();
  const Point topLeft = ClientToScreen({button.left, button.top});
  const Point bottomRight = ClientToScreen({button.right, button.bottom});
  auto frame = std::make_unique<CSkinFrame>(GetContext());
  CSkinFrame* raw = frame.get();
  GetContext().AdoptWindow(std::move(frame));
  raw->Open(*this, {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y});
}

void CMainFrame::DispatchFeatureClick(FeatureClick action, TNotifyUI& msg) {
  const std::string name = msg.pSender->GetName();
  MainFrameFeatures& f = features_;
  switch (action) {
    case FeatureClick::None:
      return;
    case FeatureClick::KnowlegeSearch:
      return f.knowledgeSearch->StartKnowlegeSearch();
    case FeatureClick::KnowlegeSearchGoBack:
      return f.knowledgeSearch->ShowKnowlegeSearchHome();
    case FeatureClick::KnowlegeHelpForKeyword:
      return f.knowledgeSearch->OpenKnowlegeHelp(u"#0");
    case FeatureClick::KnowlegeHelpForUrl:
      return f.knowledgeSearch->OpenKnowlegeHelp(u"#1");
    case FeatureClick::KnowlegeHelpForDownload:
      return f.knowledgeSearch->OpenKnowlegeHelp(u"#2");
    case FeatureClick::SeeMoreNews:
      return f.home->OpenNewsSite();
    case FeatureClick::CustomerServiceQQ:
      return f.windows->OpenCustomerService();
    case FeatureClick::OpenDownloadDir:
      return f.knowledgeLists->OpenKnowlegeDownloadFolder();
    case FeatureClick::KnowlegeItemDownload:
      return f.knowledgeLists->QueueKnowledgeDownload(name);
    case FeatureClick::AppMarketItem:
      return f.appCenter->OnAppMarketItemClick(name);
    case FeatureClick::AppMarketSearch:
      return f.appCenter->OnAppMarketSearch();
    case FeatureClick::HomeAppButton:
      return f.homeAppButtons->OnHomeAppClick(name, msg.ptMouse);
    case FeatureClick::HomeAppEdit:
      return f.homeAppButtons->ToggleHomeAppEditMode();
    case FeatureClick::KnowlegeDownloaded:
      return f.knowledgeLists->OnKnowlegeDownloadedClick(name);
    case FeatureClick::KnowlegeDownloadMngQuickBar:
      return f.knowledgeLists->SwitchKnowlegeDownloadMngPage(name);
    case FeatureClick::HomeAppPager:
      return f.homeAppButtons->OnHomeAppPagerClick(name);
    case FeatureClick::KnowlegePager:
      return f.knowledgeSearch->OnKnowlegePagerClick(name);
    case FeatureClick::AppMarketPager:
      return f.appCenter->OnAppMarketPagerClick(name);
    case FeatureClick::KnowlegeDownloading:
      return f.knowledgeLists->OnKnowlegeDownloadingClick(name);
    case FeatureClick::ShowLoginArea:
      return f.account->ShowLoginFrame();
    case FeatureClick::ShowRegisterArea:
      return f.account->ShowRegisterFrame();
    case FeatureClick::ShowMainArea:
      return DoShowMainFormArea();
    case FeatureClick::Login:
      return f.account->DoLogin(false);
    case FeatureClick::Register:
      return f.account->DoRegister();
    case FeatureClick::ChangePassword:
      return f.account->DoChangePassword();
    case FeatureClick::ForgetPassword:
      return f.account->OpenForgetPasswordPage();
    case FeatureClick::Share:
      // The download rows share their own files; every other place is the home page's.
      if (f.knowledgeLists->OnShareClick(name)) return;
      return f.home->OnShareClick(name);
    case FeatureClick::Feedback:
      return f.webPages->ShowFeedbackWindow();
    case FeatureClick::WebHome:
      return f.windows->OpenWebSite();
    case FeatureClick::Help:
      return OpenHelpPage();
    case FeatureClick::AdNavigation:
      return f.home->OnAdButtonClick(name);
    case FeatureClick::ShowContact:
      return f.windows->ShowContactWindow();
    case FeatureClick::ShowUserProfile:
      return f.webPages->ShowUserProfileWindow();
    case FeatureClick::GetSMSCode:
      return f.account->DoSendSMSCode();
    case FeatureClick::NetFramework:
      return f.appCenter->OnNetFrameworkClick(name);
    case FeatureClick::UserMessage:
      return f.webPages->ShowUserMessageWindow();
  }
}

void CMainFrame::OnSelectChanged(TNotifyUI& msg) {
  auto* option = dynamic_cast<Option*>(msg.pSender);
  if (option == nullptr) return;
  const std::string& name = option->GetName();
  if (const auto page = DesktopPageOfQuickBar(name)) {
    if (auto* desktop = Lookup<TabLayout>("tluDesktop")) desktop->SelectItem(*page);
    if (*page == kDesktopKnowlegePage) features_.knowledgeSearch->DoResizeKnowlegeSearchArea();
    return;
  }
  if (StartsWithNoCase(name, "app_market_category_buttons_")) {
    features_.appCenter->OnAppMarketCategorySelected(name);
    return;
  }
  if (const auto page =
          KnowlegeDesktopPageOfQuickBar(name, features_.knowledgeSearch->View().resultPageShown)) {
    if (auto* desktop = Lookup<TabLayout>("tluKnowlege_Desktop")) desktop->SelectItem(*page);
    return;
  }
  if (const auto change = PairedOptionRule(name, option->IsSelected())) {
    auto* partner = Lookup<Option>(change->option);
    if (partner != nullptr && partner->IsSelected() != change->selected) {
      partner->Selected(change->selected);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// The URL protocol

void CMainFrame::OnUrlProtocolArrived(const core::UrlProtocolPayload* payload) {
  Log(u"接收到URL协议");
  try {
    const std::u16string request =
        payload != nullptr ? payload->request : env_.binding.ReadDataFromUrlProtocolShareMemory();
    ProcessUrlProtocol(core::RemoveDoubleQuotes(request));
  } catch (...) {
    // A request that cannot be read or processed is dropped; the window still comes forward.
  }
  SendMessage(WM_SYSCOMMAND, SC_RESTORE);
  GetContext().Loop().pumpFor(kRestoreSettleMs);
  ShowWindow(true, true);
}

void CMainFrame::ProcessUrlProtocol(const std::u16string& request) {
  features_.knowledgeLists->ProcessUrlProtocol(request);
}

// ---------------------------------------------------------------------------------------------
// Private messages

bool CMainFrame::HandlePrivateMessage(std::uint32_t message, platform::Payload* payload) {
  const PrivateMessageInfo* info = FindPrivateMessage(message);
  if (info == nullptr) return false;
  platform::Payload none;
  platform::Payload& received = payload != nullptr ? *payload : none;
  try {
    if (info->holdsListMutex) {
      const platform::RecursiveLock lock(listMutex_);
      RoutePrivateMessage(message, received);
    } else {
      RoutePrivateMessage(message, received);
    }
  } catch (const std::exception& e) {
    Log("处理消息 " + std::string(info->name) + " 出现异常:" + e.what());
  } catch (...) {
    Log("处理消息 " + std::string(info->name) + " 出现未知异常");
  }
  return true;
}

template <class T>
std::unique_ptr<T> CMainFrame::TakePayload(std::uint32_t message, platform::Payload& payload) {
  std::unique_ptr<T> taken = payload.take<T>();
  if (!taken) {
    const PrivateMessageInfo* info = FindPrivateMessage(message);
    Log("丢弃消息 " + std::string(info != nullptr ? info->name : "?") +
        "：没有附带数据或数据类型不符");
  }
  return taken;
}

template <class Message>
void CMainFrame::RouteDownloadMessage(const Message& message) {
  switch (DownloadReceiverFor(message.Kind)) {
    case DownloadReceiver::KnowledgeLists:
      if constexpr (std::is_same_v<Message, knowledge::DownloadStarted>) {
        return features_.knowledgeLists->OnDownloadStarted(message);
      } else if constexpr (std::is_same_v<Message, knowledge::DownloadProgress>) {
        return features_.knowledgeLists->OnDownloadProgress(message);
      } else {
        return features_.knowledgeLists->OnDownloadEnded(message);
      }
    case DownloadReceiver::AppCenter:
      if constexpr (std::is_same_v<Message, knowledge::DownloadStarted>) {
        return features_.appCenter->OnAppDownloadStarted(message);
      } else if constexpr (std::is_same_v<Message, knowledge::DownloadProgress>) {
        return features_.appCenter->OnAppDownloadProgress(message);
      } else {
        return features_.appCenter->OnAppDownloadEnded(message);
      }
    case DownloadReceiver::Nobody:
      return;
  }
}

void CMainFrame::RoutePrivateMessage(std::uint32_t message, platform::Payload& payload) {
  using namespace core;
  switch (message) {
    case WM_URL_PROTOCOL_ARRIVED:
      return OnUrlProtocolArrived(payload.get<core::UrlProtocolPayload>());
    case WM_LIST_ADD_ITEM:
      if (auto p = TakePayload<core::ListItemPayload>(message, payload)) OnListAddItem(*p);
      return;
    case WM_LIST_SHOW_LOADING:
      if (auto p = TakePayload<core::ListLoadingPayload>(message, payload)) OnListShowLoading(*p);
      return;
    case WM_VIEW_ENABLE:
      if (auto p = TakePayload<core::ViewEnablePayload>(message, payload)) OnViewEnable(*p);
      return;
    case WM_VIEW_SET_PAGER:
      if (auto p = TakePayload<core::ViewPagerPayload>(message, payload)) OnViewSetPager(*p);
      return;
    case WM_APP_CATEGORY_ADD:
      return features_.appCenter->OnAppCategoryAdd(payload);
    case WM_APP_CATEGORY_SELECT:
      return features_.appCenter->OnAppCategorySelect(payload);
    case WM_DOWNLOAD_STARTED:
      if (auto p = TakePayload<knowledge::DownloadStarted>(message, payload)) {
        RouteDownloadMessage(*p);
      }
      return;
    case WM_DOWNLOAD_PROGRESS:
      if (auto p = TakePayload<knowledge::DownloadProgress>(message, payload)) {
        RouteDownloadMessage(*p);
      }
      return;
    case WM_DOWNLOAD_ENDED:
      if (auto p = TakePayload<knowledge::DownloadEnded>(message, payload)) {
        RouteDownloadMessage(*p);
      }
      return;
    case WM_HOME_APPS_REFRESH:
      return features_.homeAppButtons->DoRefreshHomeAppButtons();
    case WM_LIST_EMPTY_IMAGE:
      if (auto p = TakePayload<core::ListEmptyImagePayload>(message, payload)) OnListEmptyImage(*p);
      return;
    case WM_CONTAINER_ADD:
      if (auto p = TakePayload<core::ContainerAddPayload>(message, payload)) OnContainerAdd(*p);
      return;
    case WM_CONTAINER_CLEAR:
      if (auto p = TakePayload<core::ContainerClearPayload>(message, payload)) OnContainerClear(*p);
      return;
    case WM_UNREAD_MESSAGES:
      if (auto p = TakePayload<core::UnreadMessagesPayload>(message, payload)) {
        features_.userCenter->OnUnreadMessages(*p);
      }
      return;
    case WM_NOTICE_CLICKED:
      if (auto p = TakePayload<int>(message, payload)) OnNoticeClicked(*p);
      return;
    case WM_REGISTER_REPLY:
      return features_.account->DoAfterRegister(payload);
    case WM_LOGIN_REPLY:
      return features_.account->DoAfterLogin(payload);
    case WM_CHANGE_PASSWORD_REPLY:
      return features_.account->DoAfterChangePassword(payload);
    case WM_SMS_CODE_REPLY:
      return features_.account->DoAfterSendSMSCode(payload);
    case WM_DOWNLOAD_PERMISSION:
      return features_.knowledgeLists->OnDownloadPermission(payload);
    case WM_FLY_ICON_STEP:
      return features_.appCenter->OnFlyIconStep(payload);
    case WM_FLY_ICON_END:
      return features_.appCenter->OnFlyIconEnd(payload);
    case WM_AVATAR_RELOAD:
      return features_.userCenter->LoadUserImage();
    case WM_AD_SELECT_FIRST:
      return features_.home->SelectFirstAd();
    case WM_SUMMARY_COUNTS:
      if (auto p = TakePayload<core::SummaryCountsPayload>(message, payload)) {
        features_.home->OnSummaryCounts(*p);
      }
      return;
    case WM_USER_IMAGE:
      if (auto p = TakePayload<core::UserImagePayload>(message, payload)) {
        features_.userCenter->OnUserImage(*p);
      }
      return;
    case WM_NETWORK_ERROR:
      return OnNetworkError();
    case WM_NETWORK_RESTORED:
      return OnNetworkRestored();
    default:
      return;
  }
}

namespace {

Container* FindContainer(const PaintManager& pm, const std::string& name) {
  return dynamic_cast<Container*>(pm.FindControl(name));
}

}  // namespace

void CMainFrame::OnListAddItem(core::ListItemPayload& payload) {
  Container* list = FindContainer(paintManager_, payload.listName);
  if (list == nullptr || !payload.item) {
    Log("丢弃消息 WM_LIST_ADD_ITEM：没有列表 " + payload.listName + " 或没有行");
    return;
  }
  if (Control* picture = FindEmptyListRow(*list)) list->Remove(picture);
  Control* row = list->Add(std::move(payload.item));
  if (row != nullptr && payload.listName == "lstKnowlegeSearchResult") {
    features_.knowledgeSearch->CheckKnowlegeResultRow(*row);
  }
}

void CMainFrame::OnListShowLoading(const core::ListLoadingPayload& payload) {
  if (Container* list = FindContainer(paintManager_, payload.listName)) {
    list->VisibleGIF(payload.loading);
  } else {
    Log("丢弃消息 WM_LIST_SHOW_LOADING：没有列表 " + payload.listName);
  }
}

bool CMainFrame::IsOwnView(const CLibObjectView* view) {
  return view == &features_.appCenter->View() || view == &features_.knowledgeSearch->View() ||
         view == &features_.webPages->FAQView();
}

void CMainFrame::OnViewEnable(const core::ViewEnablePayload& payload) {
  if (!IsOwnView(payload.view)) {
    Log(u"丢弃消息 WM_VIEW_ENABLE：不是本窗口的分页视图");
    return;
  }
  payload.view->EnableNavigation(payload.enable);
}

void CMainFrame::OnViewSetPager(const core::ViewPagerPayload& payload) {
  if (!IsOwnView(payload.view)) {
    Log(u"丢弃消息 WM_VIEW_SET_PAGER：不是本窗口的分页视图");
    return;
  }
  payload.view->RefreshPageIndexButtons(payload.page, payload.pageCount, payload.total);
}

void CMainFrame::OnListEmptyImage(const core::ListEmptyImagePayload& payload) {
  Container* list = FindContainer(paintManager_, payload.listName);
  if (list == nullptr) {
    Log("丢弃消息 WM_LIST_EMPTY_IMAGE：没有列表 " + payload.listName);
    return;
  }
  if (Control* old = FindEmptyListRow(*list)) list->Remove(old);
  if (list->GetCount() > 0) return;

  bool searchTextEmpty = true;
  const char* searchBox = payload.listName == "lstAppMarketList" ? "txtAppMarketSearchEdit"
                          : payload.listName == "lstKnowlegeSearchResult"
                              ? "txtKnowlegeSearchResultKeyword"
                              : nullptr;
  if (searchBox != nullptr) {
    if (const Control* box = paintManager_.FindControl(searchBox)) {
      searchTextEmpty = box->GetText().empty();
    }
  }
  const std::string image =
      EmptyListImage(payload.listName, payload.networkFailure, searchTextEmpty);
  const Rect area = list->GetPos().Deflated(list->GetInset());
  const Size natural = EmptyListImageSize(image);
  const Size shown =
      area.IsEmpty() ? natural : FitEmptyListImage(natural, {area.Width(), area.Height()});

  // The row leaves with the list's next row.
  list->Add(MakeEmptyListRow(payload.listName, image, shown));
}

void CMainFrame::OnContainerAdd(core::ContainerAddPayload& payload) {
  Container* container = FindContainer(paintManager_, payload.containerName);
  if (container == nullptr || !payload.control) {
    Log("丢弃消息 WM_CONTAINER_ADD：没有容器 " + payload.containerName + " 或没有控件");
    return;
  }
  container->Add(std::move(payload.control));
}

void CMainFrame::OnContainerClear(const core::ContainerClearPayload& payload) {
  if (Container* container = FindContainer(paintManager_, payload.containerName)) {
    container->RemoveAll();
  } else {
    Log("丢弃消息 WM_CONTAINER_CLEAR：没有容器 " + payload.containerName);
  }
}

void CMainFrame::OnNoticeClicked(int value) {
  if (value == account::kUnreadMessagesNotice) features_.webPages->ShowUserMessageWindow();
}

void CMainFrame::SetNetworkIcon(const char* image, std::u16string_view tooltip) {
  if (networkStateImage_ == nullptr) return;
  networkStateImage_->SetBkImage(image);
  networkStateImage_->SetToolTip(std::u16string(tooltip));
  networkStateImage_->Invalidate();
}

void CMainFrame::OnNetworkError() {
  if (networkState_ == NetworkState::Unreachable) return;
  networkState_ = NetworkState::Unreachable;
  SetNetworkIcon("network/netstateerror2.png", u"无法访问网络，请检查本地网络链接");
}

void CMainFrame::OnNetworkRestored() {
  if (networkState_ == NetworkState::Reachable) return;
  networkState_ = NetworkState::Reachable;
  SetNetworkIcon("network/netstateok2.png", u"网络正常");
  MainFrameFeatures& f = features_;
  Guard(u"DoRefreshForFAQ", [&f] { f.webPages->DoRefreshForFAQ(); });
  Guard(u"DoRefreshForVideoNavigate", [&f] { f.webPages->DoRefreshForVideoNavigate(); });
  Guard(u"DoRefreshForGameNavigate", [&f] { f.webPages->DoRefreshForGameNavigate(); });
  Guard(u"DoRefreshNavigate", [&f] { f.webPages->DoRefreshNavigate(); });
  Guard(u"DoRefreshForProjectTemplateNavigate",
        [&f] { f.webPages->DoRefreshForProjectTemplateNavigate(); });
  Guard(u"DoRefreshShareEachDay", [&f] { f.webPages->DoRefreshShareEachDay(); });
  Guard(u"DoRefreshLastestNews", [&f] { f.home->DoRefreshLastestNews(); });
  Guard(u"DoRefreshSumaryInfo", [&f] { f.home->DoRefreshSumaryInfo(); });
  Guard(u"DoInitAppMarketCategory", [&f] { f.appCenter->DoInitAppMarketCategory(); });
  if (f.account->LoggedInUser()) {
    Guard(u"Relogin", [&f] { f.account->Relogin(); });
  } else {
    Guard(u"DoAutoLoginByConfig", [&f] { f.account->DoAutoLoginByConfig(); });
  }
}

// ---------------------------------------------------------------------------------------------
// Timers

void CMainFrame::OnTimer(std::uint32_t id) {
  MainFrameFeatures& f = features_;
  switch (id) {
    case kNewsTimer:
      return Guard(u"DoRefreshLastestNews", [&f] { f.home->DoRefreshLastestNews(); });
    case kHeartbeatTimer:
      return Guard(u"SendHeartbeat", [&f] { f.account->SendHeartbeat(); });
    case kAdRotationTimer:
      return Guard(u"OnAdTimer", [&f] { f.home->OnAdTimer(); });
    case kSummaryTimer:
      return Guard(u"DoRefreshSumaryInfo", [&f] { f.home->DoRefreshSumaryInfo(); });
    case kSmsCountdownTimer:
      return Guard(u"RefreshSMSCountdown", [&f] { f.account->RefreshSMSCountdown(); });
    case kNetworkProbeTimer:
      return Guard(u"ProbeNetwork", [this] { ProbeNetwork(); });
    case kKnowlegeQueueRetryTimer:
      // It fires once.
      KillTimer(kKnowlegeQueueRetryTimer);
      return Guard(u"RestartKnowledgeQueue", [&f] { f.knowledgeLists->RestartKnowledgeQueue(); });
    case kUnreadMessagesTimer:
      return Guard(u"QueryUnreadMessages", [&f] { f.userCenter->QueryUnreadMessages(); });
    default:
      return;
  }
}

void CMainFrame::ProbeNetwork() {
  if (networkState_ != NetworkState::Unreachable) return;
  if (probeRunning_->exchange(true)) return;
  platform::MessageLoop& loop = GetContext().Loop();
  loop.startWorker([&binding = env_.binding, &loop, window = GetHWND(), running = probeRunning_] {
    try {
      if (binding.CheckCanVisitInternent()) loop.post(window, core::WM_NETWORK_RESTORED);
    } catch (...) {
      // A probe that fails tells nothing; the next period asks again.
    }
    *running = false;
  });
}

// ---------------------------------------------------------------------------------------------
// The skin

void CMainFrame::Receive(const SkinChangedParam& param) {
  try {
    ApplySkin(LookOf(param));
    const StoredSkinValues stored = StoredValuesOf(param);
    env_.binding.SaveSkinData(env_.binding.dataDirectory(), stored.imageMode ? 1 : 0, stored.colour,
                              Wide(stored.image));
  } catch (const std::exception& e) {
    Log(std::string("更换皮肤出现异常:") + e.what());
  } catch (...) {
    Log(u"更换皮肤出现未知异常");
  }
}

}  // namespace ui
