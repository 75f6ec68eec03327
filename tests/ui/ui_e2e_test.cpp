// The real client program, headless, against the local development service, driven and
// observed only through its automation socket (and, for the log, the program's own log file).
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <thread>
#include <utility>

#include "client_process.h"
#include "support/temp_dir.h"

namespace ui_testing {
namespace {

namespace fs = std::filesystem;
constexpr const char* kMain = "UIMainFrame";

class ClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service_.Start()) << "the development service did not start";
  }

  // A client on the test's folder (the same folder again keeps the settings of earlier runs).
  std::unique_ptr<ClientProcess> StartClient(const std::string& serviceHost = "") {
    auto client = std::make_unique<ClientProcess>(
        dir_.path(), serviceHost.empty() ? service_.host() : serviceHost);
    EXPECT_TRUE(client->Start()) << "the client did not start listening";
    return client;
  }

  // Changes the layout of the test's copy before the client starts: `from` becomes `to`.
  void EditLayout(const std::vector<std::pair<std::string, std::string>>& edits) {
    ClientProcess copy(dir_.path(), service_.host());
    const std::string path = copy.file("Skin/Zelk/main_frame.xml");
    std::ifstream in(path);
    std::string xml((std::istreambuf_iterator<char>(in)), {});
    for (const auto& [from, to] : edits) {
      const std::size_t at = xml.find(from);
      ASSERT_NE(at, std::string::npos) << from;
      xml.replace(at, from.size(), to);
    }
    std::ofstream(path) << xml;
  }

  testing_support::TempDir dir_;
  DevService service_{ZELK_DEVSERVICE_PATH, dir_.file("service")};
};

TEST_F(ClientTest, TheStartIsLoggedInItsOrder) {
  auto client = StartClient();
  std::vector<std::string> expected = {"Init Begin",
                                       "Init End",
                                       "windowinit",
                                       "DoShowMainFormArea_Begin",
                                       "DoShowMainFormArea_End",
                                       "DoRefreshHomeAppButtons",
                                       "DoInitAppMarketCategory",
                                       "DoRefreshKnowlegePageIndexButtons",
                                       "DoRefreshDownloadList",
                                       "DoRefreshLastestNews",
                                       "DoResizeLoginFrameArea",
                                       "DoResizeRegisterFrameArea",
                                       "DoResizeChangePasswordFrameArea",
                                       "DoRefreshForFAQ",
                                       "DoRefreshForVideoNavigate",
                                       "DoRefreshForGameNavigate",
                                       "DoRefreshNavigate",
                                       "DoRefreshForProjectTemplateNavigate",
                                       "DoRefreshShareEachDay",
                                       "DoRefreshSumaryInfo",
                                       "DoAutoLoginByConfig",
                                       "InitializeTimer",
                                       "DoCheckUpdate",
                                       "DoInitializeCommForms",
                                       "DoShowIntroduce"};
  std::vector<std::string> seen;
  ASSERT_TRUE(Eventually([&] {
    seen.clear();
    for (const std::string& line : client->LogLines()) {
      if (std::find(expected.begin(), expected.end(), line) != expected.end()) seen.push_back(line);
    }
    return seen.size() >= expected.size();
  }));
  EXPECT_EQ(seen, expected);
  const Json::Value windows = client->automation().Call("windows")["windows"];
  ASSERT_GE(windows.size(), 1u);
  EXPECT_EQ(windows[0]["class"].asString(), kMain);
  EXPECT_EQ(windows[0]["caption"].asString(), "Tamsel 3.1");
  const Json::Value rect = windows[0]["rect"];
  EXPECT_EQ(rect[2].asInt() - rect[0].asInt(), 1200);
  EXPECT_EQ(rect[3].asInt() - rect[1].asInt(), 900);
}

// One connection does what a user does: click the close button, read the question, answer it
// and go on. The click is answered while the box still waits (its result still open), and every
// request after it gets its own answer, in order.
TEST_F(ClientTest, OneConnectionClicksCloseAnswersTheBoxAndOnlyOkEndsTheClient) {
  auto client = StartClient();
  AutomationClient& automation = client->automation();
  const auto start = std::chrono::steady_clock::now();
  const auto call = [&](const std::string& cmd,
                        std::initializer_list<std::pair<const char*, Json::Value>> fields = {}) {
    const Json::Value answer = automation.Call(cmd, fields);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    std::cout << "[ elapsed  ] " << cmd << " answered after " << ms << " ms" << std::endl;
    return answer;
  };
  const auto expectTheQuestion = [](const Json::Value& answer) {
    const Json::Value box = answer["message_box"];
    EXPECT_TRUE(box["shown"].asBool());
    EXPECT_EQ(box["result"].asInt(), -1) << "the box is read while it waits";
    EXPECT_EQ(box["text"].asString(), "确定要关闭Tamsel？");
    EXPECT_EQ(box["icon"].asInt(), 3);
    EXPECT_EQ(box["title"].asString(), "询问");
    ASSERT_EQ(box["buttons"].size(), 2u);
    EXPECT_EQ(box["buttons"][0].asString(), "确定");
    EXPECT_EQ(box["buttons"][1].asString(), "取消");
  };
  Json::Value ok;
  ok["ok"] = true;

  // Without its answer the connection is stuck behind the box: nothing after it can be asked.
  ASSERT_EQ(call("click", {{"window", kMain}, {"name", "closebtn"}}), ok);
  expectTheQuestion(call("message_box"));
  EXPECT_EQ(call("answer_message_box", {{"button", "cancel"}}), ok);
  EXPECT_EQ(call("ping"), ok);
  const Json::Value after = call("message_box")["message_box"];
  EXPECT_FALSE(after["shown"].asBool());
  EXPECT_EQ(after["result"].asInt(), 0);
  EXPECT_TRUE(client->running());

  EXPECT_EQ(call("click", {{"window", kMain}, {"name", "closebtn"}}), ok);
  expectTheQuestion(call("message_box"));
  EXPECT_EQ(call("answer_message_box", {{"button", "ok"}}), ok);
  EXPECT_EQ(client->WaitForExit(), 0);
}

TEST_F(ClientTest, TheSystemCloseEndsTheClientWithoutAsking) {
  auto client = StartClient();
  EXPECT_TRUE(client->automation().Call("quit")["ok"].asBool());
  // A client that asked would wait for the answer and not end.
  EXPECT_EQ(client->WaitForExit(), 0);
}

const std::vector<std::string> kQuickBar = {
    "quickBar_Home",       "quickBar_Knowlege",        "quickBar_AppMarket",
    "quickBar_FAQ",        "quickBar_ProjectTemplate", "quickBar_Video",
    "quickBar_Game",       "quickBar_Navigate",        "quickBar_ShareEachDay",
    "quickBar_Cooperation"};

TEST_F(ClientTest, EachQuickBarOptionSelectsItsPage) {
  auto client = StartClient();
  // Backwards, so that every click is a change.
  for (int page = 9; page >= 0; --page) {
    ASSERT_TRUE(client->Click(kQuickBar[page])) << kQuickBar[page];
    EXPECT_EQ(client->Control("tluDesktop")["value"].asInt(), page) << kQuickBar[page];
    EXPECT_TRUE(client->Control(kQuickBar[page])["selected"].asBool());
  }
}

TEST_F(ClientTest, QuickBarNamesWrittenInAnotherCaseSelectTheSamePages) {
  EditLayout({{"name=\"quickBar_AppMarket\"", "name=\"QUICKBAR_appmarket\""},
              {"name=\"quickBar_Cooperation\"", "name=\"QuickBar_COOPERATION\""}});
  auto client = StartClient();
  ASSERT_TRUE(client->Click("QuickBar_COOPERATION"));
  EXPECT_EQ(client->Control("tluDesktop")["value"].asInt(), 9);
  ASSERT_TRUE(client->Click("QUICKBAR_appmarket"));
  EXPECT_EQ(client->Control("tluDesktop")["value"].asInt(), 2);
}

TEST_F(ClientTest, TheNetworkIconFollowsTheService) {
  const int port = service_.port();
  service_.Stop();
  auto client = StartClient("127.0.0.1:" + std::to_string(port));
  // The start report fails and the service cannot be reached.
  Json::Value icon;
  ASSERT_TRUE(Eventually([&] {
    icon = client->Control("hluNetworkStateImage");
    return icon["bkimage"].asString() == "network/netstateerror2.png";
  }));
  EXPECT_EQ(icon["tooltip"].asString(), "无法访问网络，请检查本地网络链接");

  ASSERT_TRUE(service_.Start(port));
  // The probe runs every ten seconds; here it is run at once, until it finds the service.
  ASSERT_TRUE(Eventually([&] {
    client->automation().Call("fire_timer", {{"window", kMain}, {"id", 70}});
    client->automation().Call("wait_idle", {{"timeout_ms", 2000}});
    icon = client->Control("hluNetworkStateImage");
    return icon["bkimage"].asString() == "network/netstateok2.png";
  }));
  EXPECT_EQ(icon["tooltip"].asString(), "网络正常");
}

TEST_F(ClientTest, AMissingControlIsLoggedAndTheClientGoesOn) {
  EditLayout({{"name=\"hluNetworkStateImage\"", "name=\"hluSomethingElse\""}});
  const int port = service_.port();
  service_.Stop();
  auto client = StartClient("127.0.0.1:" + std::to_string(port));
  ASSERT_TRUE(Eventually([&] {
    const std::vector<std::string> log = client->LogLines();
    return std::find(log.begin(), log.end(),
                     "界面布局中缺少控件 hluNetworkStateImage，相关功能不可用") != log.end();
  }));
  // The network report arrives with nothing to show it on.
  EXPECT_TRUE(client->automation().Call("wait_idle", {{"timeout_ms", 15000}})["idle"].asBool());
  EXPECT_TRUE(client->automation().Call("ping")["ok"].asBool());
  EXPECT_TRUE(client->running());
}

TEST_F(ClientTest, AChosenColourColoursRootAndSurvivesARestartUntilAnImageReplacesIt) {
  std::string colour;
  {
    auto client = StartClient();
    ASSERT_TRUE(client->Click("skinbtn"));
    ASSERT_TRUE(client->Click("skin_color", "UISkinFrame"));
    const Json::Value tree = client->automation().Call(
        "tree", {{"window", "UISkinFrame"}, {"name", "tluSkinColors"}})["tree"];
    ASSERT_GE(tree["children"].size(), 12u);
    const Json::Value swatch = tree["children"][7];
    colour = swatch["bkcolor"].asString();
    const Json::Value rect = swatch["rect"];
    ASSERT_TRUE(client->automation()
                    .Call("click", {{"window", "UISkinFrame"},
                                    {"name", "skin_color_btn"},
                                    {"x", (rect[0].asInt() + rect[2].asInt()) / 2},
                                    {"y", (rect[1].asInt() + rect[3].asInt()) / 2}})["ok"]
                    .asBool());
    EXPECT_EQ(client->Control("Root")["bkcolor"].asString(), colour);
    EXPECT_EQ(client->Control("Root")["bkimage"].asString(), "");
    client->automation().Call("quit");
    ASSERT_EQ(client->WaitForExit(), 0);
  }
  EXPECT_NE(colour, "#FF2B7BD6");  // not the first: the choice is really the eighth
  std::string image;
  {
    auto client = StartClient();
    EXPECT_EQ(client->Control("Root")["bkcolor"].asString(), colour);
    ASSERT_TRUE(client->Click("skinbtn"));
    const Json::Value tree = client->automation().Call(
        "tree", {{"window", "UISkinFrame"}, {"name", "tluSkinImages"}})["tree"];
    ASSERT_GE(tree["children"].size(), 8u);
    const Json::Value picture = tree["children"][2];
    image = picture["bkimage"].asString();
    const Json::Value rect = picture["rect"];
    ASSERT_TRUE(client->automation()
                    .Call("click", {{"window", "UISkinFrame"},
                                    {"name", "skin_image_btn"},
                                    {"x", (rect[0].asInt() + rect[2].asInt()) / 2},
                                    {"y", (rect[1].asInt() + rect[3].asInt()) / 2}})["ok"]
                    .asBool());
    EXPECT_EQ(client->Control("Root")["bkimage"].asString(), image);
    EXPECT_EQ(client->Control("Root")["bkcolor"].asString(), "#00000000");
    client->automation().Call("quit");
    ASSERT_EQ(client->WaitForExit(), 0);
  }
  auto client = StartClient();
  EXPECT_EQ(client->Control("Root")["bkimage"].asString(), image);
  EXPECT_EQ(client->Control("Root")["bkcolor"].asString(), "#00000000");
}

TEST_F(ClientTest, AResizeLaysTheWindowOutAgain) {
  auto client = StartClient();
  auto right = [&] { return client->Control("vluHome_RightClient")["rect"]; };
  EXPECT_EQ(right()[2].asInt(), 1200);
  EXPECT_EQ(right()[0].asInt(), 900);
  for (const int width : {1400, 1100}) {
    ASSERT_TRUE(client->automation()
                    .Call("resize", {{"window", kMain}, {"width", width}, {"height", 900}})["ok"]
                    .asBool());
    EXPECT_EQ(right()[2].asInt(), width);
    EXPECT_EQ(right()[0].asInt(), width - 300);
    EXPECT_EQ(client->Control("tluDesktop")["rect"][2].asInt(), width);
  }
}

// The screenshots of the ten pages; with ZELK_SCREENSHOT_DIR set they are written there (the
// documentation's pictures), otherwise into the test's folder.
TEST_F(ClientTest, EveryPageOfTheDesktopPaints) {
  const char* target = std::getenv("ZELK_SCREENSHOT_DIR");
  const std::string folder = target != nullptr ? target : dir_.file("screenshots");
  fs::create_directories(folder);
  auto client = StartClient();
  ASSERT_TRUE(client->automation().Call("wait_idle", {{"timeout_ms", 20000}})["idle"].asBool());
  std::vector<std::string> pictures;
  for (std::size_t page = 0; page < kQuickBar.size(); ++page) {
    ASSERT_TRUE(client->Click(kQuickBar[page]));
    const std::string path = folder + "/page" + std::to_string(page) + "_" +
                             kQuickBar[page].substr(std::string("quickBar_").size()) + ".png";
    const Json::Value shot =
        client->automation().Call("screenshot", {{"window", kMain}, {"path", path}});
    ASSERT_TRUE(shot["ok"].asBool()) << shot.toStyledString();
    cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS) << path;
    EXPECT_EQ(cairo_image_surface_get_width(image), 1200);
    EXPECT_EQ(cairo_image_surface_get_height(image), 900);
    const unsigned char* data = cairo_image_surface_get_data(image);
    pictures.emplace_back(reinterpret_cast<const char*>(data),
                          cairo_image_surface_get_stride(image) * 900);
    cairo_surface_destroy(image);
  }
  // Each page looks different from every other.
  for (std::size_t a = 0; a < pictures.size(); ++a) {
    for (std::size_t b = a + 1; b < pictures.size(); ++b) {
      EXPECT_NE(pictures[a], pictures[b]) << "pages " << a << " and " << b;
    }
  }
}

}  // namespace
}  // namespace ui_testing
