#pragma once

#include <string>

#include "core/feature_host.h"
#include "skinui/notify.h"

namespace home {

// The home page's content: the latest news, the rotating advertisements, the usage counters
// and the share buttons. Owned by the main frame, which calls these operations from its start-up
// steps, dispatch tables and timers. Operations whose content is not built yet do nothing.
class HomeController {
 public:
  explicit HomeController(core::FeatureHost& host) : host_(host) {}
  virtual ~HomeController() = default;
  HomeController(const HomeController&) = delete;
  HomeController& operator=(const HomeController&) = delete;

  virtual void SetUpHomeShareButtons();
  virtual void DoRefreshLastestNews();
  virtual void DoRefreshSumaryInfo();
  virtual void OnLastestNewsItemClick(skinui::TNotifyUI& msg);
  virtual void OpenNewsSite();
  virtual void OnAdTimer();
  virtual void OnAdButtonClick(const std::string& name);
  virtual void OnShareClick(const std::string& name);

 protected:
  core::FeatureHost& host_;
};

}  // namespace home
