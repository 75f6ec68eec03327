#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "account/user_session.h"
#include "core/zelk_lib_binding.h"
#include "net/service_url_format.h"
#include "skinui/web_browser.h"
#include "ui/secondary_frame.h"

namespace ui {

// What the web windows need from the client: the support library, the program folder, the
// login for the pages that need one, and the main window's operations their pages may ask for.
struct WebFrameServices {
  const core::ZelkLibBinding* binding = nullptr;
  std::string appDirectory;
  std::shared_ptr<account::UserSession> session;
  std::function<void()> showMainFormArea;
  std::function<void()> reloadAvatar;
};

// What tells one web window from another.
struct WebFrameTraits {
  const char* className;
  const char16_t* caption;
  const char* layoutFile;
  const char* browserName;
  bool refreshButton;  // "refreshbtn" loads the page again
  bool loadOnInit;     // the page loads when the layout is first laid out
  bool loadOnShowing;  // the page loads each time the window is shown
  bool appliesSkin;    // the stored skin is applied on each showing
};

// A window that shows one web page: its browser control ("ie_for_…") between a loading layout
// ("hluLoading") and a browser layout ("hluWebBrowser"). A page that cannot be loaded is
// replaced by the local error page; the page may ask to be loaded again ("RefreshThisPage").
class CWebFrame : public CSecondaryFrame, public skinui::CWebBrowserEventHandler {
 public:
  static constexpr const char* kErrorPage = "NavigateURLError.html";

  CWebFrame(skinui::UiContext& context, const WebFrameServices& services, WebFrameTraits traits);
  ~CWebFrame() override;

  const WebFrameTraits& Traits() const { return traits_; }
  // Builds the address, shows the loading layout and navigates the browser.
  void LoadPage();
  void SetLoading(bool loading);

  void NavigateComplete(skinui::WebBrowser& browser, const std::string& url) override;
  void NavigateError(skinui::WebBrowser& browser, const std::string& url, int status) override;
  void PageCommand(skinui::WebBrowser& browser, const std::vector<std::u16string>& args) override;
  std::uint32_t GetHostInfoFlags(skinui::WebBrowser& browser) override;

 protected:
  // The page's address (UTF-8); nullopt leaves the browser where it is.
  virtual std::optional<std::string> PageAddress() = 0;
  // A page command other than "RefreshThisPage".
  virtual void OnPageCommand(const std::u16string& command) { (void)command; }

  // The service page of a path with the given values, with a random argument.
  std::optional<std::string> ServicePage(const std::u16string& pathTemplate,
                                         const std::vector<net::UrlValue>& values) const;
  // The login's id and sign as the pages take them.
  std::vector<net::UrlValue> LoginValues() const;
  bool Is(const std::u16string& command, const char16_t* expected) const;

  void OnCreated() override;
  void Prepare() override;
  void OnWindowInit() override;
  void OnClick(const std::string& name) override;

  const WebFrameServices& services_;

 private:
  WebFrameTraits traits_;
  skinui::WebBrowser* browser_ = nullptr;
};

}  // namespace ui
