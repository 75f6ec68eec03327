// WebKitGTK views over web-browser controls: pages of the local development service and local
// pages, completion and errors, page commands, "zelk://" links, placement and capture, and a
// missing web module.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "dev_service_process.h"
#include "gtk_test_support.h"
#include "skinui/gtk/web_module.h"

namespace skinui_gtk_test {
namespace {

using namespace skinui;

const char* kLayout = R"(<Window size="640,480" caption="0,0,0,32">
  <VerticalLayout name="Root" bkcolor="#FFF0F4F8">
    <HorizontalLayout name="hluCaption" height="32" bkcolor="#FF2F6FC0"/>
    <WebBrowser name="ie_for_test" padding="10,10,10,10"/>
  </VerticalLayout>
</Window>)";

// A loopback port nobody listens on.
int FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

class WebViewTest : public GtkFixture {
 protected:
  void SetUp() override {
    GtkFixture::SetUp();
    if (IsSkipped()) return;
    std::string error;
    ASSERT_TRUE(service_.Start(dir_.file("state"), error)) << error;
    backend_->Web().SetUrlProtocolHandler(
        [this](const std::string& url) { protocolRequests_.push_back(url); });
  }

  TestFrame& OpenBrowser() {
    TestFrame& frame = Open(kLayout);
    browser_ = &frame.GetPaintManager().Find<WebBrowser>("ie_for_test");
    return frame;
  }

  // A local page in the test's folder; its file:// address.
  std::string Page(const std::string& name, const std::string& body) {
    const std::string path = dir_.write(name,
                                        "<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                        "</head><body>" +
                                            body + "</body></html>");
    return "file://" + path;
  }

  bool WaitForNavigation(TestFrame& frame, std::size_t count, int timeoutMs = 20000) {
    return PumpUntil(
        *loop_, [&] { return frame.navigations.size() >= count; }, timeoutMs);
  }

  GtkWidget* ViewWidget(TestFrame& frame) {
    // The web view is the overlay child that is not the text entry.
    GtkWidget* found = nullptr;
    GtkWidget* overlay = gtk_bin_get_child(GTK_BIN(frame.Native().Toplevel()));
    GList* children = gtk_container_get_children(GTK_CONTAINER(overlay));
    for (GList* c = children; c != nullptr; c = c->next) {
      if (!GTK_IS_DRAWING_AREA(c->data)) found = GTK_WIDGET(c->data);
    }
    g_list_free(children);
    return found;
  }

  testing_support::TempDir dir_;
  DevServiceProcess service_;
  WebBrowser* browser_ = nullptr;
  std::vector<std::string> protocolRequests_;
};

TEST_F(WebViewTest, AServicePageLoadsOverTheControlAndReportsCompletion) {
  TestFrame& frame = OpenBrowser();
  const std::string url = service_.Url("zelk/VideoShow.aspx");
  browser_->Navigate(url);
  EXPECT_TRUE(browser_->IsLoading());
  ASSERT_TRUE(WaitForNavigation(frame, 1));
  EXPECT_EQ(frame.navigations[0], "complete " + url);
  EXPECT_FALSE(browser_->IsLoading());
  EXPECT_EQ(backend_->Web().ViewCount(), 1);
  // The view covers the control's rectangle.
  GtkWidget* view = ViewWidget(frame);
  ASSERT_NE(view, nullptr);
  const Rect pos = browser_->GetPos();
  int x = -1, y = -1;
  ASSERT_TRUE(PumpUntil(*loop_, [&] {
    return gtk_widget_get_mapped(view) &&
           gtk_widget_translate_coordinates(view, frame.Native().Toplevel(), 0, 0, &x, &y) &&
           x == pos.left && y == pos.top;
  }));
  EXPECT_EQ(gtk_widget_get_allocated_width(view), pos.Width());
  EXPECT_EQ(gtk_widget_get_allocated_height(view), pos.Height());
}

TEST_F(WebViewTest, TheRefreshLinkOfAServicePageSendsItsCommand) {
  TestFrame& frame = OpenBrowser();
  browser_->Navigate(service_.Url("zelk/VideoShow.aspx"));
  ASSERT_TRUE(WaitForNavigation(frame, 1));
  ASSERT_EQ(frame.navigations[0].rfind("complete ", 0), 0u) << frame.navigations[0];
  Settle(*loop_, 300);
  // Into the page's heading, then the keyboard to its first link ("刷新") and Enter.
  const Rect pos = browser_->GetPos();
  ASSERT_TRUE(PointerTo(frame, {pos.left + 30, pos.top + 20}));
  ASSERT_TRUE(Xdo({"click", "1"}));
  Settle(*loop_, 200);
  ASSERT_TRUE(Xdo({"key", "Tab"}));
  Settle(*loop_, 100);
  ASSERT_TRUE(Xdo({"key", "Return"}));
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return !frame.commands.empty(); }));
  EXPECT_EQ(frame.commands[0], std::vector<std::u16string>{u"RefreshThisPage"});
}

TEST_F(WebViewTest, FailingPagesReportTheirErrors) {
  TestFrame& frame = OpenBrowser();
  const std::string missing = service_.Url("zelk/NoSuchPage.aspx");
  browser_->Navigate(missing);
  ASSERT_TRUE(WaitForNavigation(frame, 1));
  EXPECT_EQ(frame.navigations[0], "error 404 " + missing);
  EXPECT_EQ(browser_->GetLastErrorStatus(), 404);
  // Nobody answers: no status at all.
  const std::string refused =
      "http://127.0.0.1:" + std::to_string(FreePort()) + "/zelk/VideoShow.aspx";
  browser_->Navigate(refused);
  ASSERT_TRUE(WaitForNavigation(frame, 2));
  EXPECT_EQ(frame.navigations[1], "error 0 " + refused);
  EXPECT_FALSE(browser_->IsLoading());
  // An address WebKit refuses to visit (a restricted port) shows an empty page without a
  // failure of its own: still no page.
  browser_->Navigate("http://127.0.0.1:1/zelk/VideoShow.aspx");
  ASSERT_TRUE(WaitForNavigation(frame, 3));
  EXPECT_EQ(frame.navigations[2], "error 0 http://127.0.0.1:1/zelk/VideoShow.aspx");
}

TEST_F(WebViewTest, ANewerNavigationOvertakesAnOlderOneQuietly) {
  TestFrame& frame = OpenBrowser();
  browser_->Navigate(service_.Url("zelk/GamePage.aspx?callfrom=Zelk"));
  const std::string second = service_.Url("zelk/SiteNavigation.aspx?callfrom=Zelk");
  browser_->Navigate(second);
  ASSERT_TRUE(WaitForNavigation(frame, 1));
  Settle(*loop_, 300);
  ASSERT_EQ(frame.navigations.size(), 1u);
  EXPECT_EQ(frame.navigations[0], "complete " + second);
}

TEST_F(WebViewTest, PageCommandsBecomeListsOfTextsWhateverThePageSends) {
  TestFrame& frame = OpenBrowser();
  const std::string url = Page("commands.html", R"(<script>
    var zelk = window.webkit.messageHandlers.zelk;
    zelk.postMessage(["a", 7, true, {x: 1}, null, [1, 2], undefined, "b"]);
    zelk.postMessage("solo");
    var many = [];
    for (var i = 0; i < 5000; i++) many.push("v" + i);
    zelk.postMessage(many);
    window.external.Command("CloseThisPage", "x");
  </script>)");
  browser_->Navigate(url);
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return frame.commands.size() >= 4; }));
  EXPECT_EQ(frame.commands[0], (std::vector<std::u16string>{u"a", u"7", u"true", u"b"}));
  EXPECT_EQ(frame.commands[1], std::vector<std::u16string>{u"solo"});
  ASSERT_EQ(frame.commands[2].size(), gtk::kMaxPageCommandArgs);
  EXPECT_EQ(frame.commands[2].front(), u"v0");
  EXPECT_EQ(frame.commands[2].back(), u"v1023");
  EXPECT_EQ(frame.commands[3], (std::vector<std::u16string>{u"CloseThisPage", u"x"}));
}

TEST_F(WebViewTest, ZelkLinksGoToTheClientInsteadOfLeavingThePage) {
  TestFrame& frame = OpenBrowser();
  const std::string url =
      Page("download.html", R"(<a id="d" href="zelk://download/downid=7">下载</a>
    <script>window.addEventListener("load", function () {
      setTimeout(function () { document.getElementById("d").click(); }, 50);
    });</script>)");
  browser_->Navigate(url);
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return !protocolRequests_.empty(); }));
  EXPECT_EQ(protocolRequests_[0], "zelk://download/downid=7");
  Settle(*loop_, 200);
  ASSERT_EQ(frame.navigations.size(), 1u);
  EXPECT_EQ(frame.navigations[0], "complete " + url);
  EXPECT_EQ(browser_->GetUrl(), url);
}

TEST_F(WebViewTest, TheViewIsShownAndHiddenWithItsControl) {
  TestFrame& frame = OpenBrowser();
  browser_->Navigate("about:blank");
  ASSERT_TRUE(WaitForNavigation(frame, 1));
  GtkWidget* view = ViewWidget(frame);
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return gtk_widget_get_mapped(view); }));
  browser_->SetVisible(false);
  EXPECT_FALSE(gtk_widget_get_visible(view));
  browser_->SetVisible(true);
  EXPECT_TRUE(PumpUntil(*loop_, [&] { return gtk_widget_get_mapped(view); }));
}

TEST_F(WebViewTest, TheWindowsCaptureHoldsThePage) {
  TestFrame& frame = OpenBrowser();
  browser_->Navigate(Page("colour.html", R"(<style>html, body { margin: 0; height: 100%;
      background: #123456; }</style>)"));
  ASSERT_TRUE(WaitForNavigation(frame, 1));
  const std::string shot = dir_.file("shot.png");
  const Rect pos = browser_->GetPos();
  // The page paints a moment after it has loaded.
  std::uint32_t pagePixel = 0;
  ASSERT_TRUE(PumpUntil(
      *loop_,
      [&] {
        if (!frame.Native().CaptureToPng(shot)) return false;
        cairo_surface_t* image = cairo_image_surface_create_from_png(shot.c_str());
        const auto* data = cairo_image_surface_get_data(image);
        const int stride = cairo_image_surface_get_stride(image);
        const auto pixel = [&](int x, int y) {
          return *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF;
        };
        pagePixel = pixel(pos.left + 50, pos.top + 50);
        const bool caption = pixel(200, 10) == 0x2F6FC0u;
        cairo_surface_destroy(image);
        return caption && pagePixel == 0x123456u;
      }))
      << std::hex << pagePixel;
}

TEST_F(WebViewTest, AWindowDestroyedBeforeItsControlsLeavesTheirViewsHarmless) {
  TestFrame& frame = OpenBrowser();
  browser_->Navigate("about:blank");
  ASSERT_TRUE(WaitForNavigation(frame, 1));
  frame.Destroy();
  // The control outlives the native window: navigating it now only logs.
  browser_->Navigate("about:blank");
  frames_.clear();
  EXPECT_EQ(backend_->Web().ViewCount(), 0);
}

class WebCacheTest : public GtkFixture {
 protected:
  gtk::GtkBackendOptions BackendOptions() override {
    return {.webDataDirectory = dir_.file("web"), .iconFile = ""};
  }
  testing_support::TempDir dir_;
};

TEST_F(WebCacheTest, TheCacheOfEarlierRunsIsRemovedAtStart) {
  dir_.write("web/cache/old/entry", "stale");
  dir_.write("web/data/cookies", "kept");
  backend_->Web().ClearCache();
  EXPECT_FALSE(std::filesystem::exists(dir_.file("web/cache")));
  EXPECT_TRUE(std::filesystem::exists(dir_.file("web/data/cookies")));
}

// A program whose web module is missing runs on: its navigations fail as pages that cannot be
// reached, and the log names the reason once.
class MissingWebModuleTest : public GtkFixture {
 protected:
  gtk::GtkBackendOptions BackendOptions() override {
    return {.webModule = dir_.file("libZelkWeb.so")};
  }
  testing_support::TempDir dir_;
};

TEST_F(MissingWebModuleTest, NavigationsFailAndTheLogSaysWhyOnce) {
  TestFrame& frame = Open(kLayout);
  auto& browser = frame.GetPaintManager().Find<WebBrowser>("ie_for_test");
  browser.Navigate("about:blank");
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return !frame.navigations.empty(); }));
  EXPECT_EQ(frame.navigations[0], "error 0 about:blank");
  const std::string later = "http://127.0.0.1:1/zelk/VideoShow.aspx";
  browser.Navigate(later);
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return frame.navigations.size() >= 2; }));
  EXPECT_EQ(frame.navigations[1], "error 0 " + later);
  EXPECT_FALSE(browser.IsLoading());
  const auto reasons = std::count_if(log_.begin(), log_.end(), [&](const std::string& line) {
    return line.find("web module") != std::string::npos &&
           line.find(dir_.file("libZelkWeb.so")) != std::string::npos;
  });
  EXPECT_EQ(reasons, 1) << ::testing::PrintToString(log_);
}

}  // namespace
}  // namespace skinui_gtk_test
