#include "ui/web_frame.h"

#include "platform/code_page.h"
#include "skinui/container.h"
#include "ui/web_page_address.h"

namespace ui {

using namespace skinui;

CWebFrame::CWebFrame(UiContext& context, const WebFrameServices& services, WebFrameTraits traits)
    : CSecondaryFrame(context, traits.className, traits.layoutFile),
      services_(services),
      traits_(traits) {}

CWebFrame::~CWebFrame() {
  // The browser names the window as its handler until the controls are gone.
  if (browser_ != nullptr) browser_->SetWebBrowserEventHandler(nullptr);
}

void CWebFrame::OnCreated() {
  browser_ = paintManager_.FindOrLog<WebBrowser>(traits_.browserName);
  paintManager_.FindOrLog<Container>("hluLoading");
  paintManager_.FindOrLog<Container>("hluWebBrowser");
  if (browser_ == nullptr) return;
  browser_->SetWebBrowserEventHandler(this);
  browser_->Navigate("about:blank");
}

void CWebFrame::Prepare() {
  if (traits_.appliesSkin) ApplyStoredSkin();
  if (traits_.loadOnShowing) LoadPage();
}

void CWebFrame::OnWindowInit() {
  if (traits_.loadOnInit) LoadPage();
}

void CWebFrame::OnClick(const std::string& name) {
  if (traits_.refreshButton && name == "refreshbtn") LoadPage();
}

void CWebFrame::LoadPage() {
  if (browser_ == nullptr) return;
  const std::optional<std::string> address = PageAddress();
  if (!address) return;
  browser_->SetWebBrowserEventHandler(this);
  SetLoading(true);
  browser_->Navigate(*address);
  if (!browser_->IsVisible()) browser_->SetVisible(true);
}

void CWebFrame::SetLoading(bool loading) {
  if (auto* layout = paintManager_.TryFind<Control>("hluLoading")) layout->SetVisible(loading);
  if (auto* layout = paintManager_.TryFind<Control>("hluWebBrowser")) layout->SetVisible(!loading);
}

std::optional<std::string> CWebFrame::ServicePage(const std::u16string& pathTemplate,
                                                  const std::vector<net::UrlValue>& values) const {
  const auto address = ServicePageAddress(*services_.binding, pathTemplate, values);
  if (!address) return std::nullopt;
  return platform::Utf16ToUtf8(*address);
}

std::vector<net::UrlValue> CWebFrame::LoginValues() const {
  const PageLogin login =
      PageLoginOf(services_.session ? services_.session->Snapshot() : account::SessionState{});
  std::vector<net::UrlValue> values;
  values.emplace_back(login.uid);
  values.emplace_back(login.loginSign);
  return values;
}

bool CWebFrame::Is(const std::u16string& command, const char16_t* expected) const {
  return services_.binding->StringCompare(command, expected);
}

void CWebFrame::NavigateComplete(WebBrowser&, const std::string&) {
  SetLoading(false);
}

void CWebFrame::NavigateError(WebBrowser& browser, const std::string& url, int) {
  const std::string errorPage = LocalPageAddress(services_.appDirectory, kErrorPage);
  // The error page itself missing must not start the same failure again and again.
  if (url == errorPage) {
    SetLoading(false);
    return;
  }
  browser.Navigate(errorPage);
}

void CWebFrame::PageCommand(WebBrowser&, const std::vector<std::u16string>& args) {
  if (args.empty()) return;
  if (Is(args.front(), u"RefreshThisPage")) {
    LoadPage();
  } else {
    OnPageCommand(args.front());
  }
}

std::uint32_t CWebFrame::GetHostInfoFlags(WebBrowser&) {
  return DOCHOSTUIFLAG_NO3DBORDER;
}

}  // namespace ui
