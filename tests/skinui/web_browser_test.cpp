#include "skinui/web_browser.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <thread>

#include "platform/headless_message_loop.h"
#include "skinui/headless_backend.h"
#include "skinui/web_navigation_probe.h"
#include "ui_test_support.h"

namespace skinui {
namespace {

// A page server on loopback: "/ok" answers 200, "/moved" redirects to it, "/slow" answers
// after a while, everything else 404.
class PageServer {
 public:
  PageServer() {
    server_.Get("/ok", [](const httplib::Request&, httplib::Response& r) {
      r.set_content("<html/>", "text/html");
    });
    server_.Get("/moved",
                [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/ok"); });
    server_.Get("/slow", [](const httplib::Request&, httplib::Response& r) {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      r.set_content("late", "text/plain");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::yield();
  }
  ~PageServer() {
    server_.stop();
    thread_.join();
  }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

struct Recorder : CWebBrowserEventHandler {
  void NavigateComplete(WebBrowser& browser, const std::string& url) override {
    events.push_back(browser.GetName() + " complete " + url);
  }
  void NavigateError(WebBrowser& browser, const std::string& url, int status) override {
    events.push_back(browser.GetName() + " error " + std::to_string(status) + " " + url);
  }
  void PageCommand(WebBrowser& browser, const std::vector<std::u16string>& args) override {
    events.push_back(browser.GetName() + " command " + std::to_string(args.size()));
  }
  std::uint32_t GetHostInfoFlags(WebBrowser&) override {
    return DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
  }
  std::vector<std::string> events;
};

class WebBrowserTest : public ::testing::Test {
 protected:
  WebBrowserTest()
      : context(loop, std::make_unique<HeadlessBackend>(loop), "/nonexistent"),
        window(context, R"(<VerticalLayout><WebBrowser name="ie_for_faq"/></VerticalLayout>)") {
    context.SetLogSink([](const std::string&) {});
    window.Create(nullptr, u"w", WS_POPUP | WS_VISIBLE, 0, 0, 0, 400, 300);
    browser = &window.GetPaintManager().Find<WebBrowser>("ie_for_faq");
    browser->SetWebBrowserEventHandler(&recorder);
  }
  std::vector<std::string> Navigate(const std::string& url) {
    recorder.events.clear();
    browser->Navigate(url);
    EXPECT_TRUE(browser->IsLoading());
    EXPECT_TRUE(loop.waitIdle(20000));
    return recorder.events;
  }

  platform::HeadlessMessageLoop loop;
  UiContext context;
  skinui_test::LayoutWindow window;
  Recorder recorder;
  WebBrowser* browser = nullptr;
  PageServer pages;
};

TEST_F(WebBrowserTest, LocalPagesCompleteAtOnce) {
  EXPECT_EQ(Navigate("about:blank"), (std::vector<std::string>{"ie_for_faq complete about:blank"}));
  EXPECT_EQ(Navigate("file:///tmp/NavigateURLError.html"),
            (std::vector<std::string>{"ie_for_faq complete file:///tmp/NavigateURLError.html"}));
  EXPECT_FALSE(browser->IsLoading());
  EXPECT_EQ(browser->GetUrl(), "file:///tmp/NavigateURLError.html");
}

TEST_F(WebBrowserTest, HttpNavigationIsProbedWithARealRequest) {
  EXPECT_EQ(Navigate(pages.Url("/ok")),
            (std::vector<std::string>{"ie_for_faq complete " + pages.Url("/ok")}));
  EXPECT_EQ(Navigate(pages.Url("/moved")),
            (std::vector<std::string>{"ie_for_faq complete " + pages.Url("/moved")}));
  EXPECT_EQ(Navigate(pages.Url("/absent")),
            (std::vector<std::string>{"ie_for_faq error 404 " + pages.Url("/absent")}));
  EXPECT_EQ(browser->GetLastErrorStatus(), 404);
}

TEST_F(WebBrowserTest, UnreachableHostAndUnknownSchemesFailWithoutStatus) {
  EXPECT_EQ(Navigate("http://127.0.0.1:1/"),
            (std::vector<std::string>{"ie_for_faq error 0 http://127.0.0.1:1/"}));
  EXPECT_EQ(Navigate("gopher://x/"), (std::vector<std::string>{"ie_for_faq error 0 gopher://x/"}));
  const ProbeResult probe = ProbeUrl("http://127.0.0.1:1/", 2000);
  EXPECT_FALSE(probe.replied);
  EXPECT_FALSE(probe.error.empty());
}

TEST_F(WebBrowserTest, ANewerNavigationOvertakesAnOlderOne) {
  recorder.events.clear();
  browser->Navigate(pages.Url("/slow"));
  browser->Navigate("about:blank");
  ASSERT_TRUE(loop.waitIdle(20000));
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"ie_for_faq complete about:blank"}));
}

TEST_F(WebBrowserTest, PageCommandsAndHostFlagsGoToTheHandler) {
  browser->OnPageCommand({u"RefreshThisPage", u"x"});
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"ie_for_faq command 2"}));
  EXPECT_EQ(browser->GetHostInfoFlags(), DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO);
  browser->SetWebBrowserEventHandler(nullptr);
  browser->OnPageCommand({u"RefreshThisPage"});  // no handler: ignored
  EXPECT_EQ(browser->GetHostInfoFlags(), 0u);
}

}  // namespace
}  // namespace skinui
