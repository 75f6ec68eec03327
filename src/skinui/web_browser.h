#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skinui/control.h"

namespace skinui {

class WebBrowser;
class WebView;

// Host-information flags a handler may ask for.
inline constexpr std::uint32_t DOCHOSTUIFLAG_NO3DBORDER = 0x00000004;
inline constexpr std::uint32_t DOCHOSTUIFLAG_SCROLL_NO = 0x00000008;
inline constexpr std::uint32_t DOCHOSTUIFLAG_NO3DOUTERBORDER = 0x00200000;

// Receives the events of web-browser controls, on the window thread. Events not overridden
// keep the library's default (nothing happens, no host flags).
class CWebBrowserEventHandler {
 public:
  virtual ~CWebBrowserEventHandler() = default;
  virtual void NavigateComplete(WebBrowser& browser, const std::string& url);
  // status: the HTTP status of a reply that was not a success, or 0 when no reply came.
  virtual void NavigateError(WebBrowser& browser, const std::string& url, int status);
  // A list of texts sent by the page.
  virtual void PageCommand(WebBrowser& browser, const std::vector<std::u16string>& args);
  virtual std::uint32_t GetHostInfoFlags(WebBrowser& browser);
};

// A web page inside a window. The backend supplies the view: WebKitGTK on a display; headless,
// an http(s) navigation is probed with a real request (completed on a 2xx reply, an error with
// the status otherwise) and "about:blank" and file:// complete at once.
class WebBrowser : public Control {
 public:
  WebBrowser();
  ~WebBrowser() override;
  std::string_view GetClass() const override { return "WebBrowserUI"; }
  const AttributeTable& GetAttributeTable() const override { return Attributes(); }
  static const AttributeTable& Attributes();

  void SetWebBrowserEventHandler(CWebBrowserEventHandler* handler) { handler_ = handler; }
  CWebBrowserEventHandler* GetWebBrowserEventHandler() const { return handler_; }
  void Navigate(const std::string& url);
  void Refresh();
  const std::string& GetUrl() const { return url_; }
  bool IsLoading() const { return loading_; }
  int GetLastErrorStatus() const { return lastStatus_; }
  std::uint32_t GetHostInfoFlags();

  // From the view.
  void OnNavigateComplete(const std::string& url);
  void OnNavigateError(const std::string& url, int status);
  void OnPageCommand(const std::vector<std::u16string>& args);

  void SetPos(const Rect& pos) override;
  void SetVisible(bool visible) override;
  void SetManager(PaintManager* manager, Container* parent) override;

 protected:
  void PaintBkColor(Painter& painter) override;

 private:
  bool EnsureView();

  CWebBrowserEventHandler* handler_ = nullptr;
  std::unique_ptr<WebView> view_;
  std::string url_;
  std::string homePage_;
  bool loading_ = false;
  int lastStatus_ = 0;
};

}  // namespace skinui
