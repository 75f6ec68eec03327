#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "account/user_session.h"
#include "core/feature_host.h"
#include "skinui/web_browser.h"
#include "ui/faq_view.h"
#include "ui/web_frame.h"

namespace ui {

class CFAQQuestionFrame;
class CFAQSubmitQuestionFrame;
class CFeedBackFrame;
class CIntroduceFrame;
class CUserMessageFrame;
class CUserProfileFrame;

// The service's web pages inside the client: the six web tabs of the main window, the
// questions-and-answers list, and the web windows (question, answers, feedback, the user's
// profile and messages, the new-feature introduction). The main window stays the tabs' browser
// event handler and hands their events here.
class WebPages {
 public:
  explicit WebPages(core::FeatureHost& host);
  virtual ~WebPages();
  WebPages(const WebPages&) = delete;
  WebPages& operator=(const WebPages&) = delete;

  CFAQView& FAQView() { return faqView_; }

  // The login whose id and sign the question pages carry and that the profile and message
  // windows need.
  void SetSession(std::shared_ptr<account::UserSession> session);
  // What the introduction page's "ShowMainFormArea" runs.
  void SetShowMainFormArea(std::function<void()> action);

  // Each loads its tab's service page again, with a fresh random argument.
  virtual void DoRefreshForFAQ();
  virtual void DoRefreshForVideoNavigate();
  virtual void DoRefreshForGameNavigate();
  virtual void DoRefreshNavigate();
  virtual void DoRefreshForProjectTemplateNavigate();
  virtual void DoRefreshShareEachDay();
  // Shows the introduction once when the update mark asks for it, then clears the mark.
  virtual void DoShowIntroduce();
  virtual void ShowIntroduceWindow();
  virtual void ShowFeedbackWindow();
  // Shown only while a user is logged in.
  virtual void ShowUserProfileWindow();
  virtual void ShowUserMessageWindow();
  virtual void ShowFAQSubmitQuestionWindow();
  virtual void ShowFAQQuestionWindow(int questionId);
  // Creates the web windows that do not exist yet, hidden.
  virtual void CreateWebWindows();

  // Shows the tab's loading layout and navigates its browser, with the main window as the
  // browser's event handler.
  void LoadWebTab(std::string_view browserName, const std::string& address);
  // The loading layout or the browser layout of the tab of that browser (any letter case).
  void SetLoading(std::string_view browserName, bool loading);

  // Events of the tabs' browsers.
  void OnNavigateComplete(skinui::WebBrowser& browser);
  void OnNavigateError(skinui::WebBrowser& browser, const std::string& url, int status);
  void OnPageCommand(skinui::WebBrowser& browser, const std::vector<std::u16string>& args);
  std::uint32_t TabHostInfoFlags() const;

 protected:
  core::FeatureHost& host_;

 private:
  // Index of the tab of a browser in the tab table, -1 for none.
  static int TabOf(std::string_view browserName);
  void RefreshTab(int tab);
  skinui::UiContext& Context();
  void Show(CSecondaryFrame& frame);
  template <class T>
  T& Ensure(std::unique_ptr<T>& window, std::uint32_t style);
  bool LoggedIn() const;

  CFAQView faqView_;
  WebFrameServices services_;
  std::unique_ptr<CFAQSubmitQuestionFrame> submitQuestion_;
  std::unique_ptr<CFAQQuestionFrame> question_;
  std::unique_ptr<CFeedBackFrame> feedback_;
  std::unique_ptr<CUserProfileFrame> profile_;
  std::unique_ptr<CUserMessageFrame> messages_;
  std::unique_ptr<CIntroduceFrame> introduce_;
};

}  // namespace ui
