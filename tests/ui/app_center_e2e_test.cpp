// The app center of the real client, headless, against the local development service and its
// file server, driven only through automation: categories and pages, the busy guard, two
// installs that share one framework download, the download manager, starting an installed
// app, the upgrade the service offers, the "Pilotrex" folder, the home grid in edit mode and
// after a resize, and the version check of the next start. Two client starts in all.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "client_process.h"
#include "platform/process.h"
#include "support/temp_dir.h"

namespace ui_testing {
namespace {

namespace fs = std::filesystem;
constexpr const char* kMain = "UIMainFrame";
constexpr const char* kManager = "UIAppMarketDownloadMngFrame";

bool Eventually(const std::function<bool()>& condition, int timeoutMs = 60000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// One GET to the service on loopback; the reply's body.
std::string HttpGet(int port, const std::string& pathAndQuery) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return {};
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string reply;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    const std::string request =
        "GET " + pathAndQuery + " HTTP/1.0\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    if (write(fd, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
      char buffer[4096];
      for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) reply.append(buffer, n);
    }
  }
  close(fd);
  const std::size_t body = reply.find("\r\n\r\n");
  return body == std::string::npos ? std::string() : reply.substr(body + 4);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// A process of the client's session whose program file carries an app's program name, as if
// the app ran.
class RunningProgram {
 public:
  RunningProgram(const std::string& folder, std::string name, const std::string& runtimeDir)
      : name_(std::move(name)) {
    const std::string path = folder + "/" + name_;
    fs::copy_file("/bin/sleep", path, fs::copy_options::overwrite_existing);
    char arg0[] = "sleep";
    char arg1[] = "600";
    char* argv[] = {arg0, arg1, nullptr};
    std::string runtime = "XDG_RUNTIME_DIR=" + runtimeDir;
    char* envp[] = {runtime.data(), nullptr};
    if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, envp) != 0) pid_ = 0;
  }
  ~RunningProgram() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  // True once the client can see it: a process of that program file in the client's session.
  bool Running(const std::string& runtimeDir) const {
    for (const int pid : platform::FindProcessesByFileName(name_)) {
      if (pid == pid_ && platform::ProcessEnvironmentValue(pid, "XDG_RUNTIME_DIR") == runtimeDir) {
        return true;
      }
    }
    return false;
  }

 private:
  std::string name_;
  pid_t pid_ = 0;
};

class AppCenterClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service_.Start(0, /*withFiles=*/true)) << "the development service did not start";
    const char* target = std::getenv("ZELK_SCREENSHOT_DIR");
    shots_ = target != nullptr ? target : dir_.file("screenshots");
    fs::create_directories(shots_);
  }

  std::unique_ptr<ClientProcess> StartClient() {
    auto client = std::make_unique<ClientProcess>(dir_.path(), service_.host());
    EXPECT_TRUE(client->Start({}, /*startPrograms=*/true)) << "the client did not start listening";
    return client;
  }
  static bool Idle(ClientProcess& client, int timeoutMs = 90000) {
    return client.automation().Call("wait_idle", {{"timeout_ms", timeoutMs}})["idle"].asBool();
  }
  static int Count(ClientProcess& client, const std::string& name) {
    return client.Control(name)["count"].asInt();
  }
  static std::string Text(ClientProcess& client, const std::string& name) {
    return client.Control(name)["text"].asString();
  }
  void Shot(ClientProcess& client, const std::string& window, const std::string& name) {
    const Json::Value shot =
        client.automation().Call("screenshot", {{"window", window}, {"path", shots_ + "/" + name}});
    EXPECT_TRUE(shot["ok"].asBool()) << shot.toStyledString();
  }
  // Types a search and presses Enter, as a user would.
  void Search(ClientProcess& client, const std::string& text) {
    auto& a = client.automation();
    a.Call("set_text", {{"window", kMain}, {"name", "txtAppMarketSearchEdit"}, {"text", text}});
    a.Call("key", {{"window", kMain}, {"name", "txtAppMarketSearchEdit"}, {"key", "return"}});
  }
  // The home button of an app, found by its caption (the order follows the installs' ends).
  static std::string HomeButtonOf(ClientProcess& client, const std::string& caption) {
    const Json::Value tree = client.automation().Call(
        "tree", {{"window", kMain}, {"name", "tluHomeAppButtons"}})["tree"];
    for (const Json::Value& button : tree["children"]) {
      if (button["text"].asString() == caption) return button["name"].asString();
    }
    return {};
  }
  Json::Value MessageBox(ClientProcess& client) {
    return client.automation().Call("message_box")["message_box"];
  }

  testing_support::TempDir dir_;
  DevService service_{ZELK_DEVSERVICE_PATH, dir_.file("service")};
  std::string shots_;
};

TEST_F(AppCenterClientTest, BrowseInstallStartUpgradeEditAndCheckVersions) {
  auto client = StartClient();
  ClientProcess& c = *client;
  ASSERT_TRUE(Idle(c));
  ASSERT_TRUE(c.Click("quickBar_AppMarket"));

  // The categories arrived, the first is selected and its first page listed.
  ASSERT_EQ(Count(c, "vluAppMarketCategory"), 7);
  EXPECT_TRUE(c.Control("app_market_category_buttons_1")["selected"].asBool());
  ASSERT_EQ(Count(c, "lstAppMarketList"), 5);
  EXPECT_TRUE(c.Control("ouAppMarket_Next")["shown"].asBool());
  ASSERT_TRUE(c.Click("ouAppMarket_Next"));
  ASSERT_TRUE(Idle(c));
  EXPECT_EQ(Count(c, "lstAppMarketList"), 1);
  ASSERT_TRUE(c.Click("ouAppMarket_Prev"));
  ASSERT_TRUE(Idle(c));
  ASSERT_EQ(Count(c, "lstAppMarketList"), 5);
  EXPECT_EQ(Text(c, "btnAppMarketItem_0"), "安装");

  // Two installs at once: each transfer's first connection is cut, so both still run while
  // the manager lists them with the one framework download they share.
  const std::string drop = HttpGet(service_.port(), "/_dev/files/drop?after=700&count=3");
  ASSERT_NE(drop.find("\"result\":1"), std::string::npos) << drop;
  ASSERT_TRUE(c.Click("btnAppMarketItem_0"));
  ASSERT_TRUE(c.Click("btnAppMarketItem_1"));
  EXPECT_TRUE(Eventually([&] { return Text(c, "btnAppMarketItem_0") == "取消"; }));
  ASSERT_TRUE(c.Click("btnAppMarketSearch"));
  EXPECT_TRUE(MessageBox(c)["shown"].asBool());
  EXPECT_EQ(MessageBox(c)["text"].asString(), "应用中心中有应用工具正在下载安装，请稍后操作.");
  c.automation().Call("answer_message_box", {{"button", "ok"}});
  // The icons have flown to the download manager's button (the cut transfers wait 5 s).
  EXPECT_TRUE(Eventually([&] { return !c.Control("FlyIconContainer").isObject(); }, 4000));
  Shot(c, kMain, "appcenter_downloading.png");
  ASSERT_TRUE(c.Click("btnAppMarketDownloadMng"));
  const Json::Value rows =
      c.automation().Call("control", {{"window", kManager}, {"name", "lstDownloadingList"}});
  ASSERT_TRUE(rows["ok"].asBool()) << rows.toStyledString();
  EXPECT_EQ(rows["control"]["count"].asInt(), 3);  // two apps and one framework installer
  Shot(c, kManager, "appcenter_download_manager.png");
  // A click elsewhere takes the focus: the manager closes.
  ASSERT_TRUE(c.Click("quickBar_AppMarket"));
  EXPECT_TRUE(Eventually([&] {
    return !c.automation()
                .Call("control", {{"window", kManager}, {"name", "lstDownloadingList"}})["ok"]
                .asBool();
  }));

  ASSERT_TRUE(Idle(c));
  EXPECT_TRUE(fs::is_regular_file(c.file("Modules/RebarWeight/RebarWeight")));
  EXPECT_TRUE(fs::is_regular_file(c.file("Modules/ConcreteMix/ConcreteMix")));
  EXPECT_TRUE(fs::is_regular_file(c.file("Downloads/Platform/dotNetFx40_Full_x86_x64.exe")));
  EXPECT_FALSE(fs::exists(c.file("Downloads/AppMarket/RebarWeight_1.2.0.zip")));
  EXPECT_EQ(Text(c, "btnAppMarketItem_0"), "启动");
  EXPECT_EQ(Text(c, "btnAppMarketItem_1"), "启动");
  EXPECT_EQ(Count(c, "tluHomeAppButtons"), 2);

  // Starting an installed app runs its program, which writes its run log.
  ASSERT_TRUE(c.Click("btnAppMarketItem_0"));
  EXPECT_TRUE(Eventually([&] { return fs::exists(c.file("Modules/RebarWeight/run.log")); }));

  // The service raises the version: the item offers the upgrade, which brings the new copy.
  ASSERT_NE(HttpGet(service_.port(), "/_dev/apps/upgrade?appName=RebarWeight").find("1.3.0"),
            std::string::npos);
  Search(c, "RebarWeight");
  ASSERT_TRUE(Idle(c));
  ASSERT_EQ(Count(c, "lstAppMarketList"), 1);
  EXPECT_EQ(Text(c, "btnAppMarketItem_0"), "升级");
  ASSERT_TRUE(c.Click("btnAppMarketItem_0"));
  ASSERT_TRUE(Idle(c));
  EXPECT_EQ(ReadText(c.file("Modules/RebarWeight/Version.txt")), "1.3.0\n");
  EXPECT_EQ(Text(c, "btnAppMarketItem_0"), "启动");

  // "Pilotrex": a loose folder of that name in the program folder moves below the app.
  fs::create_directories(c.file("Pilotrex"));
  std::ofstream(c.file("Pilotrex/settings.ini")) << "kept";
  Search(c, "Pilotrex");
  ASSERT_TRUE(Idle(c));
  ASSERT_EQ(Count(c, "lstAppMarketList"), 1);
  ASSERT_TRUE(c.Click("btnAppMarketItem_0"));
  ASSERT_TRUE(Idle(c));
  EXPECT_TRUE(fs::is_regular_file(c.file("Modules/Pilotrex/PilotrexClient")));
  EXPECT_EQ(ReadText(c.file("Modules/Pilotrex/Pilotrex/settings.ini")), "kept");
  EXPECT_FALSE(fs::exists(c.file("Pilotrex")));
  ASSERT_EQ(Count(c, "tluHomeAppButtons"), 3);

  // The home grid in edit mode: every button on one page with its delete mark.
  ASSERT_TRUE(c.Click("quickBar_Home"));
  ASSERT_TRUE(c.Click("btnHomeAppEdit"));
  EXPECT_EQ(Text(c, "btnHomeAppEdit"), "完成");
  Shot(c, kMain, "home_apps_edit.png");
  // The delete mark sits in the button's top right corner.
  auto clickMark = [&](const std::string& name) {
    const Json::Value rect = c.Control(name)["rect"];
    return c.automation()
        .Call("click", {{"window", kMain},
                        {"name", name},
                        {"x", rect[2].asInt() - 15},
                        {"y", rect[1].asInt() + 15}})["ok"]
        .asBool();
  };
  {
    RunningProgram running(dir_.path(), "RebarWeight", dir_.file("run"));
    ASSERT_TRUE(Eventually([&] { return running.Running(dir_.file("run")); }));
    ASSERT_TRUE(clickMark(HomeButtonOf(c, "钢筋重量计算器")));
    EXPECT_EQ(MessageBox(c)["text"].asString(),
              "应用工具【钢筋重量计算器】正在运行，请先关闭该应用，然后再进行删除操作.");
    c.automation().Call("answer_message_box", {{"button", "ok"}});
    EXPECT_TRUE(fs::exists(c.file("Modules/RebarWeight/RebarWeight")));
  }
  ASSERT_TRUE(clickMark(HomeButtonOf(c, "领航者项目平台")));
  EXPECT_FALSE(fs::exists(c.file("Modules/Pilotrex")));
  EXPECT_EQ(Count(c, "tluHomeAppButtons"), 2);
  ASSERT_TRUE(c.Click("btnHomeAppEdit"));

  // The next start asks for the versions: the older copy gets the upgrade mark and its hint.
  // Forty more entries (apps not installed) fill the grid beyond one page of a small window.
  std::ofstream(c.file("Modules/RebarWeight/Version.txt")) << "1.2.0\n";
  std::string store = ReadText(c.file("Data/AppButtonView.xml"));
  std::string more;
  for (int i = 0; i < 40; ++i) {
    const std::string app = "Extra" + std::to_string(i);
    more += "<LibAppButtonItem><AppName>" + app + "</AppName><Text>" + app +
            "</Text><Description>-</Description><ExeFileName>" + app + "/" + app +
            "</ExeFileName><ImageFileName>" + app + "/icon.png</ImageFileName></LibAppButtonItem>";
  }
  ASSERT_NE(store.find("</AppButtons>"), std::string::npos);
  store.insert(store.find("</AppButtons>"), more);
  c.automation().Call("quit");
  ASSERT_EQ(c.WaitForExit(), 0);
  std::ofstream(c.file("Data/AppButtonView.xml")) << store;
  client = StartClient();
  ClientProcess& again = *client;
  ASSERT_TRUE(Idle(again));
  EXPECT_TRUE(Eventually(
      [&] { return ReadText(again.file("Modules/RebarWeight/Version.txt")) == "1\n1.2.0\n"; }));
  ASSERT_TRUE(Idle(again));
  EXPECT_EQ(again.Control(HomeButtonOf(again, "钢筋重量计算器"))["tooltip"].asString().rfind(
                "【点击升级】 ", 0),
            0u);
  Shot(again, kMain, "home_apps_upgrade_badge.png");
  // 42 buttons: one page of 9 × 7 in 1200 × 900, two pages of 7 × 5 in the smallest window.
  EXPECT_EQ(Count(again, "tluHomeAppButtons"), 42);
  EXPECT_FALSE(again.Control("ouHomApp_PageIndex_2")["shown"].asBool());
  ASSERT_TRUE(again.automation()
                  .Call("resize", {{"window", kMain}, {"width", 1000}, {"height", 700}})["ok"]
                  .asBool());
  EXPECT_EQ(Count(again, "tluHomeAppButtons"), 35);
  EXPECT_TRUE(again.Control("ouHomApp_PageIndex_2")["shown"].asBool());
  ASSERT_TRUE(again.Click("ouHomApp_Next"));
  EXPECT_EQ(Count(again, "tluHomeAppButtons"), 7);
  ASSERT_TRUE(again.automation()
                  .Call("resize", {{"window", kMain}, {"width", 1200}, {"height", 900}})["ok"]
                  .asBool());
  EXPECT_EQ(Count(again, "tluHomeAppButtons"), 42);
  ASSERT_TRUE(again.Click("quickBar_AppMarket"));
  ASSERT_TRUE(Idle(again));
  Shot(again, kMain, "appcenter_page.png");
}

}  // namespace
}  // namespace ui_testing
