#include "ui/web_pages.h"

#include <array>

#include "core/update_mark.h"
#include "core/window_messages.h"
#include "net/text_conversion.h"
#include "platform/code_page.h"
#include "skinui/container.h"
#include "skinui/window.h"
#include "skinui/window_messages.h"
#include "ui/faq_question_frame.h"
#include "ui/faq_submit_question_frame.h"
#include "ui/feed_back_frame.h"
#include "ui/introduce_frame.h"
#include "ui/name_match.h"
#include "ui/user_message_frame.h"
#include "ui/user_profile_frame.h"
#include "ui/web_page_address.h"

namespace ui {

namespace {

// Visible, clip siblings, clip children, dialog frame; and with pop-up, caption and menu.
constexpr std::uint32_t kDialogStyle = 0x16400000;
constexpr std::uint32_t kPopupStyle = 0x96C80000;

// A web tab of the main window: its browser, its two layouts and its service page.
struct WebTab {
  const char* browser;
  const char* loadingLayout;
  const char* browserLayout;
  const char16_t* path;
  bool withLogin;  // the path takes the login's id and sign
};

constexpr std::array<WebTab, 6> kTabs = {{
    {"ie_for_faq", "hluLoadingForFAQ", "hluWebBrowserForFAQ",
     u"zelk/QuestionAndAnswer.aspx?uid=%d&loginSign=%s", true},
    {"ie_for_project_template", "hluLoadingForProjectTemplate", "hluWebBrowserForProjectTemplate",
     u"zelk/TemplateShareList.aspx", false},
    {"ie_for_video", "hluLoadingForVideo", "hluWebBrowserForVideo", u"zelk/VideoShow.aspx", false},
    {"ie_for_game", "hluLoadingForGame", "hluWebBrowserForGame",
     u"zelk/GamePage.aspx?callfrom=Zelk", false},
    {"ie_for_navigate", "hluLoadingForNavigate", "hluWebBrowserForNavigate",
     u"zelk/SiteNavigation.aspx?callfrom=Zelk", false},
    {"ie_for_share_each_day", "hluLoadingForShareEachDay", "hluWebBrowserForShareEachDay",
     u"zelk/ShareEachDay.aspx", false},
}};

std::u16string Wide(std::string_view utf8) {
  return platform::Utf8ToUtf16(utf8);
}

// The folder of the program's own files (the local pages, the update mark), which an installed
// client does not write its state into.
std::string ProgramDirectory(core::FeatureHost& host) {
  return net::WideToAnsiString(host.Binding().programDirectory());
}

}  // namespace

WebPages::WebPages(core::FeatureHost& host) : host_(host), faqView_(&host.OwnerWindow()) {
  services_.binding = &host.Binding();
  services_.appDirectory = ProgramDirectory(host);
  services_.reloadAvatar = [&host] { host.Post(core::WM_AVATAR_RELOAD); };
}

WebPages::~WebPages() = default;

void WebPages::SetSession(std::shared_ptr<account::UserSession> session) {
  services_.session = std::move(session);
}

void WebPages::SetShowMainFormArea(std::function<void()> action) {
  services_.showMainFormArea = std::move(action);
}

skinui::UiContext& WebPages::Context() {
  return host_.OwnerWindow().GetContext();
}

bool WebPages::LoggedIn() const {
  return services_.session && services_.session->Snapshot().loggedIn;
}

// ---------------------------------------------------------------------------------------------
// The tabs

int WebPages::TabOf(std::string_view browserName) {
  for (std::size_t i = 0; i < kTabs.size(); ++i) {
    if (EqualsNoCase(kTabs[i].browser, browserName)) return static_cast<int>(i);
  }
  return -1;
}

void WebPages::RefreshTab(int index) {
  if (index < 0) return;
  const WebTab& tab = kTabs[static_cast<std::size_t>(index)];
  std::vector<net::UrlValue> values;
  if (tab.withLogin) {
    const PageLogin login =
        PageLoginOf(services_.session ? services_.session->Snapshot() : account::SessionState{});
    values.emplace_back(login.uid);
    values.emplace_back(login.loginSign);
  }
  const auto address = ServicePageAddress(host_.Binding(), tab.path, values);
  if (!address) return;
  LoadWebTab(tab.browser, platform::Utf16ToUtf8(*address));
}

void WebPages::DoRefreshForFAQ() {
  RefreshTab(0);
}
void WebPages::DoRefreshForProjectTemplateNavigate() {
  RefreshTab(1);
}
void WebPages::DoRefreshForVideoNavigate() {
  RefreshTab(2);
}
void WebPages::DoRefreshForGameNavigate() {
  RefreshTab(3);
}
void WebPages::DoRefreshNavigate() {
  RefreshTab(4);
}
void WebPages::DoRefreshShareEachDay() {
  RefreshTab(5);
}

void WebPages::LoadWebTab(std::string_view browserName, const std::string& address) {
  auto* browser = host_.Find<skinui::WebBrowser>(browserName);
  if (browser == nullptr) return;
  // The main window handles its tabs' events (and hands them back here).
  if (auto* frame = dynamic_cast<skinui::CWebBrowserEventHandler*>(&host_.OwnerWindow())) {
    browser->SetWebBrowserEventHandler(frame);
  }
  SetLoading(browserName, true);
  browser->Navigate(address);
  if (!browser->IsVisible()) browser->SetVisible(true);
}

void WebPages::SetLoading(std::string_view browserName, bool loading) {
  const int index = TabOf(browserName);
  if (index < 0) return;
  const WebTab& tab = kTabs[static_cast<std::size_t>(index)];
  if (auto* layout = host_.Find<skinui::Control>(tab.loadingLayout)) layout->SetVisible(loading);
  if (auto* layout = host_.Find<skinui::Control>(tab.browserLayout)) layout->SetVisible(!loading);
}

void WebPages::OnNavigateComplete(skinui::WebBrowser& browser) {
  SetLoading(browser.GetName(), false);
}

void WebPages::OnNavigateError(skinui::WebBrowser& browser, const std::string& url, int status) {
  const std::string errorPage = LocalPageAddress(ProgramDirectory(host_), CWebFrame::kErrorPage);
  SetLoading(browser.GetName(), false);
  // The error page itself missing must not start the same failure again and again.
  if (url == errorPage) return;
  host_.Log(u"浏览器(" + Wide(browser.GetName()) + u")访问网址(" + Wide(url) + u")失败，状态码=" +
            Wide(std::to_string(status)));
  browser.Navigate(errorPage);
}

void WebPages::OnPageCommand(skinui::WebBrowser& browser, const std::vector<std::u16string>& args) {
  if (args.empty()) return;
  if (!host_.Binding().StringCompare(args.front(), u"RefreshThisPage")) return;
  RefreshTab(TabOf(browser.GetName()));
}

std::uint32_t WebPages::TabHostInfoFlags() const {
  return skinui::DOCHOSTUIFLAG_NO3DBORDER | skinui::DOCHOSTUIFLAG_SCROLL_NO |
         skinui::DOCHOSTUIFLAG_NO3DOUTERBORDER;
}

// ---------------------------------------------------------------------------------------------
// The web windows

template <class T>
T& WebPages::Ensure(std::unique_ptr<T>& window, std::uint32_t style) {
  if (!window) window = std::make_unique<T>(Context(), services_);
  window->EnsureCreated(window->Traits().caption, style);
  return *window;
}

void WebPages::CreateWebWindows() {
  Ensure(submitQuestion_, kDialogStyle);
  Ensure(question_, kDialogStyle);
  Ensure(feedback_, kPopupStyle);
  Ensure(profile_, kDialogStyle);
  Ensure(messages_, kDialogStyle);
  Ensure(introduce_, kDialogStyle);
}

void WebPages::Show(CSecondaryFrame& frame) {
  frame.Present();
}

void WebPages::DoShowIntroduce() {
  if (!core::IsIntroducePending(ProgramDirectory(host_))) return;
  ShowIntroduceWindow();
  host_.Binding().SetUnShowIntroduce(host_.Binding().programDirectory());
}

void WebPages::ShowIntroduceWindow() {
  Show(Ensure(introduce_, kDialogStyle));
}

void WebPages::ShowFeedbackWindow() {
  Show(Ensure(feedback_, kPopupStyle));
}

void WebPages::ShowUserProfileWindow() {
  if (!LoggedIn()) return;
  Show(Ensure(profile_, kDialogStyle));
}

void WebPages::ShowUserMessageWindow() {
  if (!LoggedIn()) return;
  Show(Ensure(messages_, kDialogStyle));
}

void WebPages::ShowFAQSubmitQuestionWindow() {
  Show(Ensure(submitQuestion_, kDialogStyle));
}

void WebPages::ShowFAQQuestionWindow(int questionId) {
  CFAQQuestionFrame& frame = Ensure(question_, kDialogStyle);
  frame.SetQuestionId(questionId);
  Show(frame);
  frame.LoadPage();
}

}  // namespace ui
