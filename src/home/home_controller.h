#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "core/feature_host.h"
#include "core/window_payloads.h"
#include "skinui/notify.h"

namespace home {

// The state of the rotating advertisements, shared with their load worker: once loaded they are
// not fetched again during the run; while a load runs the timer waits for it.
struct AdRotator {
  std::atomic<bool> loaded{false};
  std::atomic<bool> loading{false};
};

// The home page's content: the latest news, the rotating advertisements, the usage counters
// and the share buttons. Owned by the main frame, which calls these operations from its start-up
// steps, dispatch tables, timers and message handlers. Loads run on workers that hand their
// rows, tabs and totals to the window thread as private messages.
class HomeController {
 public:
  explicit HomeController(core::FeatureHost& host) : host_(host) {}
  virtual ~HomeController() = default;
  HomeController(const HomeController&) = delete;
  HomeController& operator=(const HomeController&) = delete;

  virtual void SetUpHomeShareButtons();
  // Loads the latest news anew; the new rows replace the old ones once they arrived.
  virtual void DoRefreshLastestNews();
  virtual void DoRefreshSumaryInfo();
  virtual void OnLastestNewsItemClick(skinui::TNotifyUI& msg);
  virtual void OpenNewsSite();
  // Every five seconds: loads the advertisements until there are some, then shows the next.
  virtual void OnAdTimer();
  virtual void OnAdButtonClick(const std::string& name);
  virtual void OnShareClick(const std::string& name);
  virtual void SelectFirstAd();
  virtual void OnSummaryCounts(const core::SummaryCountsPayload& counts);

  const AdRotator& Ads() const { return *ads_; }
  // The logged-in user's sign that shares carry; empty (nobody) until the frame wires it.
  void SetLoginSignQuery(std::function<std::u16string()> query) { loginSign_ = std::move(query); }

 protected:
  core::FeatureHost& host_;

 private:
  std::function<std::u16string()> loginSign_ = [] { return std::u16string(); };
  std::shared_ptr<AdRotator> ads_ = std::make_shared<AdRotator>();
  // A news load runs: another would add its rows among the first one's.
  std::shared_ptr<std::atomic<bool>> newsLoading_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace home
