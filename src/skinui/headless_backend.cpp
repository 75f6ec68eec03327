#include "skinui/headless_backend.h"

#include <atomic>

#include "skinui/text_utf.h"
#include "skinui/web_browser.h"
#include "skinui/web_navigation_probe.h"
#include "skinui/window.h"
#include "skinui/window_messages.h"

namespace skinui {

namespace {

constexpr std::uint32_t kNavigationDone = 1;

struct NavigationOutcome {
  std::uint64_t sequence = 0;
  std::string url;
  bool completed = false;
  int status = 0;
};

// Loads nothing: it answers how the page's address would load. A navigation that is overtaken
// by a newer one reports nothing.
class HeadlessWebView final : public WebView, public platform::MessageTarget {
 public:
  HeadlessWebView(platform::MessageLoop& loop, WebBrowser& browser)
      : loop_(loop), browser_(browser), id_(loop.addTarget(*this)) {}
  ~HeadlessWebView() override { loop_.removeTarget(id_); }

  void Navigate(const std::string& url) override {
    const std::uint64_t sequence = ++sequence_;
    if (url == "about:blank" || url.starts_with("file://")) {
      Post(sequence, url, true, 0);
      return;
    }
    if (!url.starts_with("http://") && !url.starts_with("https://")) {
      Post(sequence, url, false, 0);
      return;
    }
    const platform::WindowId target = id_;
    platform::MessageLoop& loop = loop_;
    loop_.startWorker([&loop, target, sequence, url] {
      const ProbeResult probe = ProbeUrl(url);
      auto outcome = std::make_unique<NavigationOutcome>();
      outcome->sequence = sequence;
      outcome->url = url;
      outcome->completed = probe.replied && probe.status >= 200 && probe.status < 300;
      outcome->status = probe.status;
      loop.post(target, kNavigationDone, platform::Payload(std::move(outcome)));
    });
  }
  void SetRect(const Rect&) override {}
  void SetVisible(bool) override {}

  void onMessage(platform::Message& message) override {
    if (message.message != kNavigationDone) return;
    const auto* outcome = message.payload.get<NavigationOutcome>();
    if (outcome == nullptr || outcome->sequence != sequence_) return;
    if (outcome->completed) {
      browser_.OnNavigateComplete(outcome->url);
    } else {
      browser_.OnNavigateError(outcome->url, outcome->status);
    }
  }

 private:
  void Post(std::uint64_t sequence, const std::string& url, bool completed, int status) {
    auto outcome = std::make_unique<NavigationOutcome>();
    outcome->sequence = sequence;
    outcome->url = url;
    outcome->completed = completed;
    outcome->status = status;
    loop_.post(id_, kNavigationDone, platform::Payload(std::move(outcome)));
  }

  platform::MessageLoop& loop_;
  WebBrowser& browser_;
  platform::WindowId id_;
  std::uint64_t sequence_ = 0;
};

}  // namespace

HeadlessBackend::HeadlessBackend(platform::MessageLoop& loop, Rect screen, Rect workArea)
    : loop_(loop), screen_(screen), workArea_(workArea) {}

std::unique_ptr<NativeWindow> HeadlessBackend::CreateNativeWindow(Window& window) {
  return std::make_unique<HeadlessNativeWindow>(loop_, window);
}

HeadlessNativeWindow::HeadlessNativeWindow(platform::MessageLoop& loop, Window& window)
    : loop_(loop), window_(window) {}

void HeadlessNativeWindow::Invalidate(const Rect&) {
  // One pending paint at a time; it lays the window out (and paints nothing on no screen).
  if (paintPending_) return;
  paintPending_ = true;
  loop_.post(window_.GetHWND(), WM_PAINT);
}

std::unique_ptr<WebView> HeadlessNativeWindow::CreateWebView(WebBrowser& browser) {
  return std::make_unique<HeadlessWebView>(loop_, browser);
}

}  // namespace skinui
