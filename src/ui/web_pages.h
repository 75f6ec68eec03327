#pragma once

#include "core/feature_host.h"
#include "ui/faq_view.h"

namespace ui {

// The service's web pages inside the client: the six web tabs, the questions-and-answers list,
// the new-feature introduction and the web windows (feedback, the user's profile and messages).
// Operations whose pages are not built yet do nothing.
class WebPages {
 public:
  explicit WebPages(core::FeatureHost& host) : host_(host), faqView_(&host.OwnerWindow()) {}
  virtual ~WebPages() = default;
  WebPages(const WebPages&) = delete;
  WebPages& operator=(const WebPages&) = delete;

  CFAQView& FAQView() { return faqView_; }

  virtual void DoRefreshForFAQ();
  virtual void DoRefreshForVideoNavigate();
  virtual void DoRefreshForGameNavigate();
  virtual void DoRefreshNavigate();
  virtual void DoRefreshForProjectTemplateNavigate();
  virtual void DoRefreshShareEachDay();
  virtual void DoShowIntroduce();
  virtual void ShowFeedbackWindow();
  virtual void ShowUserProfileWindow();
  virtual void ShowUserMessageWindow();

 protected:
  core::FeatureHost& host_;

 private:
  CFAQView faqView_;
};

}  // namespace ui
