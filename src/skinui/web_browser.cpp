#include "skinui/web_browser.h"

#include "skinui/paint_manager.h"
#include "skinui/painter.h"
#include "skinui/window.h"

namespace skinui {

void CWebBrowserEventHandler::NavigateComplete(WebBrowser&, const std::string&) {}
void CWebBrowserEventHandler::NavigateError(WebBrowser&, const std::string&, int) {}
void CWebBrowserEventHandler::PageCommand(WebBrowser&, const std::vector<std::u16string>&) {}
std::uint32_t CWebBrowserEventHandler::GetHostInfoFlags(WebBrowser&) {
  return 0;
}

WebBrowser::WebBrowser() = default;
WebBrowser::~WebBrowser() = default;

const AttributeTable& WebBrowser::Attributes() {
  static const AttributeTable table(
      &Control::Attributes(),
      {
          {"homepage",
           On<WebBrowser>([](WebBrowser& w, std::string_view v) { w.homePage_ = std::string(v); })},
      });
  return table;
}

bool WebBrowser::EnsureView() {
  if (view_) return true;
  if (manager_ == nullptr || manager_->GetWindow() == nullptr ||
      manager_->GetWindow()->GetNative() == nullptr) {
    return false;
  }
  view_ = manager_->GetWindow()->GetNative()->CreateWebView(*this);
  if (view_) {
    view_->SetRect(pos_);
    view_->SetVisible(IsShown());
  }
  return view_ != nullptr;
}

void WebBrowser::Navigate(const std::string& url) {
  url_ = url;
  lastStatus_ = 0;
  if (!EnsureView()) {
    if (manager_ != nullptr)
      manager_->Log("web browser '" + GetName() + "' has no window to show " + url);
    return;
  }
  loading_ = true;
  view_->Navigate(url);
}

void WebBrowser::Refresh() {
  if (!url_.empty()) Navigate(url_);
}

std::uint32_t WebBrowser::GetHostInfoFlags() {
  return handler_ != nullptr ? handler_->GetHostInfoFlags(*this) : 0;
}

void WebBrowser::OnNavigateComplete(const std::string& url) {
  loading_ = false;
  url_ = url;
  if (handler_ != nullptr) handler_->NavigateComplete(*this, url);
}

void WebBrowser::OnNavigateError(const std::string& url, int status) {
  loading_ = false;
  lastStatus_ = status;
  if (handler_ != nullptr) handler_->NavigateError(*this, url, status);
}

void WebBrowser::OnPageCommand(const std::vector<std::u16string>& args) {
  if (handler_ != nullptr) handler_->PageCommand(*this, args);
}

void WebBrowser::SetPos(const Rect& pos) {
  Control::SetPos(pos);
  if (view_) {
    view_->SetRect(pos);
    view_->SetVisible(IsShown());
  }
}

void WebBrowser::SetVisible(bool visible) {
  Control::SetVisible(visible);
  if (view_) view_->SetVisible(IsShown());
}

void WebBrowser::SetManager(PaintManager* manager, Container* parent) {
  if (manager != manager_) view_.reset();
  Control::SetManager(manager, parent);
}

void WebBrowser::PaintBkColor(Painter& painter) {
  // Where no view covers the control (headless), a white page stands for it.
  painter.FillRect(pos_, GetBkColor() != 0 ? GetBkColor() : 0xFFFFFFFF);
}

}  // namespace skinui
