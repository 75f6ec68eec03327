// The web tabs, the web windows, the secondary windows and the menus of the real client,
// headless, against the local development service; driven only through automation.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "client_process.h"
#include "support/temp_dir.h"

namespace ui_testing {
namespace {

namespace fs = std::filesystem;
constexpr const char* kMain = "UIMainFrame";

struct Tab {
  const char* browser;
  const char* layout;
  const char* path;
};

constexpr Tab kTabs[] = {
    {"ie_for_faq", "hluWebBrowserForFAQ", "/zelk/QuestionAndAnswer.aspx?uid=0&loginSign="},
    {"ie_for_project_template", "hluWebBrowserForProjectTemplate", "/zelk/TemplateShareList.aspx"},
    {"ie_for_video", "hluWebBrowserForVideo", "/zelk/VideoShow.aspx"},
    {"ie_for_game", "hluWebBrowserForGame", "/zelk/GamePage.aspx?callfrom=Zelk"},
    {"ie_for_navigate", "hluWebBrowserForNavigate", "/zelk/SiteNavigation.aspx?callfrom=Zelk"},
    {"ie_for_share_each_day", "hluWebBrowserForShareEachDay", "/zelk/ShareEachDay.aspx"},
};

class WebWindowsTest : public ::testing::Test {
 protected:
  Json::Value Browser(const std::string& name, const std::string& window = kMain) {
    return client_->automation().Call("browser", {{"window", window}, {"name", name}});
  }
  void PageCommand(const std::string& name, const std::vector<std::string>& args,
                   const std::string& window = kMain) {
    Json::Value list(Json::arrayValue);
    for (const auto& arg : args) list.append(arg);
    client_->automation().Call("page_command",
                               {{"window", window}, {"name", name}, {"args", list}});
  }
  // The newest window of that class: shown or not; null when there is none.
  Json::Value Window(const std::string& className) {
    Json::Value found;
    const Json::Value answer = client_->automation().Call("windows");
    for (const auto& window : answer["windows"]) {
      if (window["class"].asString() == className) found = window;
    }
    return found;
  }
  bool Visible(const std::string& className) { return Window(className)["visible"].asBool(); }
  std::string Text(const std::string& window, const std::string& name) {
    return client_->automation()
        .Call("control", {{"window", window}, {"name", name}})["control"]["text"]
        .asString();
  }
  bool Loaded(const std::string& browser, const std::string& part,
              const std::string& window = kMain) {
    const Json::Value state = Browser(browser, window);
    return !state["loading"].asBool() && state["url"].asString().find(part) != std::string::npos;
  }
  int LogCount(const std::string& part) {
    int count = 0;
    for (const std::string& line : client_->LogLines()) {
      if (line.find(part) != std::string::npos) ++count;
    }
    return count;
  }
  void ChooseMenuItem(const std::string& button, const std::string& menu, const std::string& item) {
    ASSERT_TRUE(client_->Click(button)) << button;
    ASSERT_TRUE(Visible(menu)) << menu;
    ASSERT_TRUE(client_->Click(item, menu)) << item;
    client_->automation().Call("wait_idle", {{"timeout_ms", 5000}});
  }

  testing_support::TempDir dir_;
  DevService service_{ZELK_DEVSERVICE_PATH, dir_.file("service")};
  std::unique_ptr<ClientProcess> client_;
};

// One client: it starts while the service is down (every tab shows the error page, the
// introduction mark is set), then the service comes up and each part is used in turn.
TEST_F(WebWindowsTest, TabsWindowsAndMenusOfOneClient) {
  ASSERT_TRUE(service_.Start());
  const int port = service_.port();
  service_.Stop();
  client_ = std::make_unique<ClientProcess>(dir_.path(), "127.0.0.1:" + std::to_string(port));
  std::ofstream(client_->file("judgeUpdate.txt")) << "2\n";
  ASSERT_TRUE(client_->Start());

  // A tab whose service is down shows the local error page, logged once per failure.
  for (const Tab& tab : kTabs) {
    ASSERT_TRUE(Eventually([&] { return Loaded(tab.browser, "/NavigateURLError.html"); }))
        << tab.browser << " " << Browser(tab.browser)["url"].asString();
    EXPECT_TRUE(client_->Control(tab.layout)["visible"].asBool()) << tab.layout;
    EXPECT_EQ(LogCount(std::string("浏览器(") + tab.browser + ")访问网址("), 1) << tab.browser;
  }
  EXPECT_EQ(Browser("ie_for_faq")["host_flags"].asUInt(), 0x20000Cu);

  // The introduction came up once for its mark, which is gone now.
  EXPECT_TRUE(Visible("UIIntroduceFrame"));
  EXPECT_EQ(Window("UIIntroduceFrame")["caption"].asString(), "新功能介绍");
  std::ifstream mark(client_->file("judgeUpdate.txt"));
  std::string first;
  std::getline(mark, first);
  EXPECT_NE(first, "2");
  PageCommand("ie_for_Introduce", {"CloseThisPage"}, "UIIntroduceFrame");
  EXPECT_FALSE(Visible("UIIntroduceFrame"));

  // The service comes back; the error page's refresh link reloads the service page, and every
  // load has a random argument of its own.
  ASSERT_TRUE(service_.Start(port));
  for (const Tab& tab : kTabs) {
    PageCommand(tab.browser, {"RefreshThisPage"});
    ASSERT_TRUE(Eventually([&] { return Loaded(tab.browser, tab.path); }))
        << tab.browser << " " << Browser(tab.browser)["url"].asString();
    const std::string once = Browser(tab.browser)["url"].asString();
    PageCommand(tab.browser, {"RefreshThisPage"});
    EXPECT_NE(Browser(tab.browser)["url"].asString(), once) << tab.browser;
    ASSERT_TRUE(Eventually([&] { return Loaded(tab.browser, tab.path); }));
  }
  // Commands that are none leave the page alone.
  const std::string video = Browser("ie_for_video")["url"].asString();
  PageCommand("ie_for_video", {});
  PageCommand("ie_for_video", std::vector<std::string>(10000, "RefreshThisPage!"));
  PageCommand("ie_for_video", {"ShowMainFormArea"});
  EXPECT_EQ(Browser("ie_for_video")["url"].asString(), video);

  // The main menu: each item opens its window once the menu has gone.
  ChooseMenuItem("menubtn", "MenuWnd", "main_menu_item_About");
  EXPECT_TRUE(Window("MenuWnd").isNull()) << "the menu closes itself";
  ASSERT_TRUE(Visible("UIAboutFrame"));
  EXPECT_EQ(Text("UIAboutFrame", "lblCaption").rfind("关于Tamsel(IE内核:", 0), 0u);
  ASSERT_TRUE(client_->Click("btnOK", "UIAboutFrame"));
  EXPECT_FALSE(Visible("UIAboutFrame"));

  ChooseMenuItem("menubtn", "MenuWnd", "main_menu_item_Introduction");
  EXPECT_TRUE(Visible("UIIntroduceFrame"));
  ChooseMenuItem("menubtn", "MenuWnd", "main_menu_item_Feedback");
  EXPECT_TRUE(Visible("UIFeedBackFrame"));
  EXPECT_TRUE(Eventually(
      [&] { return Loaded("ie_for_feedback", "/zelk/FeedbackPage.aspx", "UIFeedBackFrame"); }));
  ChooseMenuItem("menubtn", "MenuWnd", "main_menu_item_WebSite");
  ChooseMenuItem("menubtn", "MenuWnd", "main_menu_item_Help");
  const Json::Value opened = client_->automation().Call("opened")["opened"];
  ASSERT_GE(opened.size(), 2u);
  EXPECT_EQ(opened[opened.size() - 2]["target"].asString(),
            "http://127.0.0.1:" + std::to_string(port) + "/");
  EXPECT_NE(opened[opened.size() - 1]["target"].asString().find("/help/?ref=zelk"),
            std::string::npos);

  // Escape closes a menu without choosing.
  ASSERT_TRUE(client_->Click("menubtn"));
  ASSERT_TRUE(Visible("MenuWnd"));
  client_->automation().Call("key",
                             {{"window", "MenuWnd"}, {"name", "menu_list"}, {"key", "escape"}});
  EXPECT_TRUE(Window("MenuWnd").isNull());

  // The options: a folder that does not exist is refused, an existing one is stored and is
  // where the knowledge downloads go from then on.
  ChooseMenuItem("menubtn", "MenuWnd", "main_menu_item_system_option");
  ASSERT_TRUE(Visible("UIOptionFrame"));
  EXPECT_EQ(Text("UIOptionFrame", "txtKnowlegeDownloadStorePath"),
            client_->file("Downloads/Knowlege"));
  client_->automation().Call("set_text", {{"window", "UIOptionFrame"},
                                          {"name", "txtKnowlegeDownloadStorePath"},
                                          {"text", dir_.file("no/such/folder")}});
  ASSERT_TRUE(client_->Click("btnOK", "UIOptionFrame"));
  const Json::Value box = client_->automation().Call("message_box")["message_box"];
  EXPECT_TRUE(box["shown"].asBool());
  EXPECT_EQ(box["text"].asString(), "下载存放目录所设置的目录不存在，请重新设置.");
  EXPECT_TRUE(Visible("UIOptionFrame"));
  client_->automation().Call("answer_message_box", {{"button", "ok"}});

  const std::string chosen = dir_.file("chosen downloads");
  fs::create_directories(chosen);
  client_->automation().Call(
      "set_text",
      {{"window", "UIOptionFrame"}, {"name", "txtKnowlegeDownloadStorePath"}, {"text", chosen}});
  ASSERT_TRUE(client_->Click("btnOK", "UIOptionFrame"));
  EXPECT_FALSE(Visible("UIOptionFrame"));
  ASSERT_TRUE(client_->Click("quickBar_Knowlege"));
  ASSERT_TRUE(client_->Click("btnOpenDownloadDir"));
  EXPECT_EQ(client_->automation().Call("opened")["opened"][opened.size()]["target"].asString(),
            chosen);
  ChooseMenuItem("menubtn", "MenuWnd", "main_menu_item_system_option");
  EXPECT_EQ(Text("UIOptionFrame", "txtKnowlegeDownloadStorePath"), chosen);
  ASSERT_TRUE(client_->Click("btnCancel", "UIOptionFrame"));

  // The contact window from the cooperation page.
  ASSERT_TRUE(client_->Click("quickBar_Cooperation"));
  ASSERT_TRUE(client_->Click("btnShowContactFrame"));
  EXPECT_TRUE(Visible("UIContactFrame"));
  EXPECT_EQ(Window("UIContactFrame")["caption"].asString(), "快来与我们互动吧");

  // Without a login the user's windows stay closed.
  EXPECT_FALSE(Visible("UIUserProfileFrame"));
  EXPECT_FALSE(Visible("UIUserMessageFrame"));

  ChooseMenuItem("menubtn", "MenuWnd", "main_menu_item_Exit");
  EXPECT_EQ(client_->WaitForExit(), 0);
}

}  // namespace
}  // namespace ui_testing
