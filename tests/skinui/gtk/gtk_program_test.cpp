// The window library's desktop program on a virtual display of its own, driven only from
// outside: the automation socket for what the program shows, xdotool for real X input,
// ImageMagick for pictures of the screen. Also the client program itself on the desktop.
#include <cairo.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <thread>
#include <tuple>

#include "dev_service_process.h"
#include "staged_app.h"
#include "support/automation_client.h"
#include "support/temp_dir.h"
#include "test_process.h"
#include "virtual_display.h"

namespace skinui_gtk_test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDemo = "UIGtkDemoFrame";
constexpr int kTimeoutMs = 20000;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Polls a condition on another process (real time, bounded).
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = kTimeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const ScreenRect&) const = default;
};

ScreenRect RectOf(const Json::Value& rect) {
  return {rect[0].asInt(), rect[1].asInt(), rect[2].asInt(), rect[3].asInt()};
}

class GtkProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!VirtualDisplay::Installed()) GTEST_SKIP() << "Xvfb is not installed";
    std::string error;
    ASSERT_TRUE(display_.Start(error)) << error;
    ASSERT_TRUE(service_.Start(dir_.file("state"), error)) << error;
  }

  void TearDown() override {
    program_.Stop();
    display_.Stop();
  }

  // Starts the demo with its pages and waits until its window is on the screen, painted.
  void StartDemo(const std::vector<std::string>& pages) {
    std::vector<std::string> argv = {SKINUI_GTK_DEMO, "--skin",
                                     std::string(SKINUI_GTK_APP_DIR) + "/Skin/Zelk", "--web-module",
                                     std::string(SKINUI_GTK_APP_DIR) + "/libZelkWeb.so"};
    for (const auto& page : pages) {
      argv.push_back("--page");
      argv.push_back(page);
    }
    ASSERT_TRUE(program_.Start(argv, {"ZELK_HEADLESS", "WAYLAND_DISPLAY"}, Environment(),
                               dir_.file("demo.out")));
    ASSERT_TRUE(client_.Connect(dir_.file("automation.sock"), kTimeoutMs)) << Output();
    ASSERT_TRUE(WaitFor([&] {
      return Xdo({"search", "--onlyvisible", "--name", "窗口库演示 GTK"}, display_.name()) &&
             Control("lblCaption")["rect"][2].asInt() > 0;
    })) << Output();
    window_ = WindowRect(kDemo);
  }

  std::vector<std::string> Environment() const {
    return {"DISPLAY=" + display_.name(),
            "ZELK_AUTOMATION=" + dir_.file("automation.sock"),
            "ZELK_SHELL_OPEN=record",
            "WEBKIT_DISABLE_COMPOSITING_MODE=1",
            "XDG_CACHE_HOME=" + dir_.file("cache"),
            "XDG_DATA_HOME=" + dir_.file("data"),
            "XDG_CONFIG_HOME=" + dir_.file("config"),
            "NO_AT_BRIDGE=1"};
  }

  std::string Output() const { return ReadFile(dir_.file("demo.out")); }

  Json::Value Control(const std::string& name) {
    return client_.Call("control", {{"window", kDemo}, {"name", name}})["control"];
  }
  std::string TextOf(const std::string& name) { return Control(name)["text"].asString(); }

  ScreenRect WindowRect(const std::string& className) {
    const Json::Value answer = client_.Call("windows");
    for (const auto& w : answer["windows"]) {
      if (w["class"].asString() == className && w["visible"].asBool()) return RectOf(w["rect"]);
    }
    return {};
  }

  // A click of the real pointer at a client point of the demo window.
  bool ClickAt(int clientX, int clientY) {
    window_ = WindowRect(kDemo);
    return Xdo({"mousemove", std::to_string(window_.left + clientX),
                std::to_string(window_.top + clientY), "click", "1"},
               display_.name());
  }
  bool ClickControl(const std::string& name) {
    const ScreenRect r = RectOf(Control(name)["rect"]);
    return ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }

  // A picture of a window as the screen shows it.
  bool Photograph(const ScreenRect& r, const std::string& name, bool keep = true) {
    const std::string path = dir_.file(name);
    const std::string geometry = std::to_string(r.width()) + "x" + std::to_string(r.height()) +
                                 "+" + std::to_string(r.left) + "+" + std::to_string(r.top);
    if (RunProgram({"import", "-window", "root", "-crop", geometry, "+repage", path},
                   display_.name()) != 0) {
      return false;
    }
    if (keep) Keep(name);
    return true;
  }

  // Keeps a picture of the test folder for the documentation when asked to.
  void Keep(const std::string& name) const {
    if (const char* keep = std::getenv("ZELK_SCREENSHOT_DIR"); keep != nullptr && *keep != '\0') {
      fs::copy_file(dir_.file(name), std::string(keep) + "/" + name,
                    fs::copy_options::overwrite_existing);
    }
  }

  testing_support::TempDir dir_;
  VirtualDisplay display_;
  DevServiceProcess service_;
  ChildProgram program_;
  testing_support::AutomationClient client_;
  ScreenRect window_;
};

TEST_F(GtkProgramTest, AClickAtAButtonsRectangleIsItsClick) {
  StartDemo({});
  ASSERT_TRUE(ClickControl("btnCount"));
  ASSERT_TRUE(WaitFor([&] { return TextOf("lblCount") == "点击 1 次"; })) << TextOf("lblCount");
  ASSERT_TRUE(ClickControl("btnCount"));
  EXPECT_TRUE(WaitFor([&] { return TextOf("lblCount") == "点击 2 次"; })) << TextOf("lblCount");
}

TEST_F(GtkProgramTest, TypingIntoAnEditSetsItsText) {
  StartDemo({});
  ASSERT_TRUE(ClickControl("txtKeyword"));
  ASSERT_TRUE(WaitFor([&] { return Control("txtKeyword")["focused"].asBool(); }));
  ASSERT_TRUE(Xdo({"type", "--delay", "30", "C30 rebar"}, display_.name()));
  ASSERT_TRUE(WaitFor([&] { return TextOf("txtKeyword") == "C30 rebar"; })) << TextOf("txtKeyword");
  ASSERT_TRUE(Xdo({"key", "Return"}, display_.name()));
  EXPECT_TRUE(WaitFor([&] { return TextOf("txtAnswer") == "搜索:C30 rebar"; }))
      << TextOf("txtAnswer");
}

TEST_F(GtkProgramTest, DraggingTheCaptionMovesTheWindow) {
  StartDemo({});
  const ScreenRect start = WindowRect(kDemo);
  const std::string& d = display_.name();
  ASSERT_TRUE(Xdo({"mousemove", std::to_string(start.left + 300), std::to_string(start.top + 18),
                   "mousedown", "1"},
                  d));
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(Xdo({"mousemove_relative", "--sync", "--", "-20", "15"}, d));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  ASSERT_TRUE(Xdo({"mouseup", "1"}, d));
  const ScreenRect moved{start.left - 120, start.top + 90, start.right - 120, start.bottom + 90};
  EXPECT_TRUE(WaitFor([&] { return WindowRect(kDemo) == moved; }))
      << WindowRect(kDemo).left << "," << WindowRect(kDemo).top;
}

TEST_F(GtkProgramTest, EscapeClosesTheDropDownPopUp) {
  StartDemo({});
  const auto dropDownShown = [&] { return WindowRect("ComboDropDownWnd").width() > 0; };
  ASSERT_TRUE(ClickControl("cmbType"));
  ASSERT_TRUE(WaitFor(dropDownShown));
  ASSERT_TRUE(WaitFor([&] {
    return Xdo({"search", "--onlyvisible", "--class", "skinui-gtk-demo"}, display_.name());
  }));
  ASSERT_TRUE(Xdo({"key", "Escape"}, display_.name()));
  EXPECT_TRUE(WaitFor([&] { return !dropDownShown(); }));
  EXPECT_EQ(Control("cmbType")["value"].asInt(), -1);
}

TEST_F(GtkProgramTest, AWebViewLoadsAServicePageAndItsButtonSendsACommand) {
  const std::string page = service_.Url("zelk/VideoShow.aspx");
  const std::string missing = service_.Url("zelk/NoSuchPage.aspx");
  StartDemo({page, missing});
  ASSERT_TRUE(WaitFor([&] { return TextOf("lblWeb") == "complete " + page; })) << TextOf("lblWeb");
  const Json::Value browser = client_.Call("browser", {{"window", kDemo}, {"name", "ie_for_demo"}});
  EXPECT_EQ(browser["url"].asString(), page);
  EXPECT_FALSE(browser["loading"].asBool());

  // The page's refresh link, reached with the keyboard from its heading.
  const ScreenRect view = RectOf(Control("ie_for_demo")["rect"]);
  ASSERT_TRUE(ClickAt(view.left + 30, view.top + 20));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_TRUE(Xdo({"key", "Tab"}, display_.name()));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(Xdo({"key", "Return"}, display_.name()));
  EXPECT_TRUE(WaitFor([&] { return TextOf("lblCommand") == "command RefreshThisPage"; }))
      << TextOf("lblCommand");

  // A page the service does not have.
  ASSERT_TRUE(client_.Call("click", {{"window", kDemo}, {"name", "btnNextPage"}})["ok"].asBool());
  EXPECT_TRUE(WaitFor([&] { return TextOf("lblWeb") == "error 404 " + missing; }))
      << TextOf("lblWeb");
}

TEST_F(GtkProgramTest, ScreenshotsOfTheMessageBoxTheNoticeAndAWebView) {
  StartDemo({service_.Url("zelk/VideoShow.aspx")});
  ASSERT_TRUE(WaitFor([&] { return TextOf("lblWeb").starts_with("complete "); }));
  // The page paints a moment after it has loaded.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  ASSERT_TRUE(Photograph(WindowRect(kDemo), "desktop-web-view.png"));

  ASSERT_TRUE(ClickControl("btnNotice"));
  ASSERT_TRUE(WaitFor([&] { return client_.Call("message_box")["notice"]["shown"].asBool(); }));
  const ScreenRect notice = WindowRect("UIPopupNotifyFrame");
  EXPECT_EQ(notice.left, VirtualDisplay::kWidth - 305);
  EXPECT_EQ(notice.top, VirtualDisplay::kHeight - 190);
  // The slide-in takes a second.
  std::this_thread::sleep_for(std::chrono::milliseconds(1300));
  ASSERT_TRUE(Photograph(notice, "desktop-popup-notice.png"));

  ASSERT_TRUE(ClickControl("btnInfo"));
  ASSERT_TRUE(
      WaitFor([&] { return client_.Call("message_box")["message_box"]["shown"].asBool(); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const ScreenRect box = WindowRect("UIMessageBoxFrame");
  ASSERT_TRUE(Photograph(box, "desktop-message-box.png"));

  for (const auto& [name, rect] :
       {std::pair{"desktop-web-view.png", WindowRect(kDemo)},
        std::pair{"desktop-popup-notice.png", notice}, std::pair{"desktop-message-box.png", box}}) {
    std::string size;
    ASSERT_EQ(RunProgram({"identify", "-format", "%wx%h", dir_.file(name)}, "", &size), 0);
    EXPECT_EQ(size, std::to_string(rect.width()) + "x" + std::to_string(rect.height())) << name;
  }
  // The automation's screenshot of a window on the desktop holds what its web view shows (the
  // page's blue title band), not the blank the library would paint there.
  const Json::Value web = Control("ie_for_demo");
  const Json::Value demoShot =
      client_.Call("screenshot", {{"window", kDemo}, {"path", dir_.file("automation-web.png")}});
  ASSERT_TRUE(demoShot["ok"].asBool());
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> png(
      cairo_image_surface_create_from_png(dir_.file("automation-web.png").c_str()),
      &cairo_surface_destroy);
  ASSERT_EQ(cairo_surface_status(png.get()), CAIRO_STATUS_SUCCESS);
  const int x = (web["rect"][0].asInt() + web["rect"][2].asInt()) / 2;
  const int y = web["rect"][1].asInt() + 30;
  const auto* row = cairo_image_surface_get_data(png.get()) +
                    static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(png.get());
  const std::uint32_t pixel = reinterpret_cast<const std::uint32_t*>(row)[x];
  const int red = (pixel >> 16) & 0xFF;
  const int blue = pixel & 0xFF;
  EXPECT_GT(blue, red + 40) << std::hex << pixel;

  // The library's own picture of a window through the automation answers too.
  const Json::Value shot = client_.Call(
      "screenshot", {{"window", "UIMessageBoxFrame"}, {"path", dir_.file("library-box.png")}});
  EXPECT_TRUE(shot["ok"].asBool());
  EXPECT_EQ(shot["width"].asInt(), box.width());
}

TEST_F(GtkProgramTest, LosingTheDisplayEndsTheProgramWithALogLine) {
  StartDemo({});
  display_.Stop();
  int code = 0;
  ASSERT_TRUE(program_.WaitForExit(kTimeoutMs, code));
  EXPECT_EQ(code, 1);
  EXPECT_NE(Output().find("the display is gone: the demo ends"), std::string::npos) << Output();
}

// The client program with real windows: a display in its environment and no ZELK_HEADLESS.
class ZelkOnTheDesktopTest : public GtkProgramTest {
 protected:
  void SetUp() override {
    GtkProgramTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    if (!core_testing::StagedApp::LibraryBuilt()) GTEST_SKIP() << "ZelkLib is not built";
    app_.install("Zelk", "Zelk");
    fs::create_directory_symlink(core_testing::StagedApp::SourceFolder() + "/Skin",
                                 app_.file("Skin"));
  }

  void StartZelk() {
    std::vector<std::string> environment = app_.environment();
    // The staged folder's environment names a service of its own: the test's replaces it.
    std::erase_if(environment, [](const std::string& e) {
      return e.starts_with("ZELK_HEADLESS=") || e.starts_with("ZELK_SERVICE_HOST=");
    });
    for (auto& e : Environment()) environment.push_back(e);
    environment.push_back("ZELK_SERVICE_HOST=127.0.0.1:" + std::to_string(service_.port()));
    ASSERT_TRUE(program_.Start({app_.file("Zelk")}, {"ZELK_HEADLESS", "WAYLAND_DISPLAY"},
                               environment, dir_.file("zelk.out")));
    ASSERT_TRUE(client_.Connect(dir_.file("automation.sock"), kTimeoutMs))
        << ReadFile(dir_.file("zelk.out"));
  }

  bool LogHas(const std::string& line) const {
    for (const auto& l : app_.logLines()) {
      if (l == line) return true;
    }
    return false;
  }

  Json::Value MessageBox() { return client_.Call("message_box")["message_box"]; }

  // A fresh home has no handler for "zelk://" links yet: the support library asks for it to be
  // registered, and the start waits until its box is answered.
  void AnswerTheStartUpBox() {
    ASSERT_TRUE(WaitFor([&] { return MessageBox()["shown"].asBool(); }))
        << ReadFile(dir_.file("zelk.out"));
    ASSERT_TRUE(client_.Call("answer_message_box", {{"button", "ok"}})["ok"].asBool());
  }

  core_testing::StagedApp app_{dir_.path()};
};

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

Surface LoadPng(const std::string& path) {
  return Surface(cairo_image_surface_create_from_png(path.c_str()), &cairo_surface_destroy);
}

std::uint32_t PixelAt(cairo_surface_t* surface, int x, int y) {
  const auto* row = cairo_image_surface_get_data(surface) +
                    static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface);
  return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
}

// The share of pixels of two pictures of one size whose colours differ noticeably.
double DifferingShare(cairo_surface_t* a, cairo_surface_t* b) {
  const int width = cairo_image_surface_get_width(a);
  const int height = cairo_image_surface_get_height(a);
  int differing = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = PixelAt(a, x, y);
      const std::uint32_t q = PixelAt(b, x, y);
      for (int shift : {0, 8, 16}) {
        if (std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)) > 24) {
          ++differing;
          break;
        }
      }
    }
  }
  return double(differing) / std::max(1, width * height);
}

TEST_F(ZelkOnTheDesktopTest, AnEnvironmentThatNeedsRegisteringIsAnnouncedInTheSkinnedBoxFirst) {
  StartZelk();
  ASSERT_TRUE(WaitFor([&] { return MessageBox()["shown"].asBool(); }))
      << ReadFile(dir_.file("zelk.out"));
  const Json::Value box = MessageBox();
  EXPECT_EQ(box["title"].asString(), "提示");
  EXPECT_EQ(box["icon"].asInt(), 0);
  EXPECT_TRUE(box["text"].asString().starts_with("Tamsel需要在本机注册zelk://链接的处理程序"))
      << box["text"].asString();
  Json::Value ok(Json::arrayValue);
  ok.append("确定");
  EXPECT_EQ(box["buttons"], ok);
  // The start waits for the answer: no main window yet, nothing on standard error.
  EXPECT_EQ(WindowRect("UIMainFrame").width(), 0);
  EXPECT_EQ(ReadFile(dir_.file("zelk.out")).find("Tamsel需要"), std::string::npos);

  // The library's picture of the box, and the box as the screen shows it, agree.
  const Json::Value shot = client_.Call(
      "screenshot",
      {{"window", "UIMessageBoxFrame"}, {"path", dir_.file("desktop-start-up-box.png")}});
  ASSERT_TRUE(shot["ok"].asBool()) << shot;
  EXPECT_EQ(shot["height"].asInt(), 200);
  Keep("desktop-start-up-box.png");
  const Surface picture = LoadPng(dir_.file("desktop-start-up-box.png"));
  ASSERT_EQ(cairo_surface_status(picture.get()), CAIRO_STATUS_SUCCESS);
  ASSERT_EQ(cairo_image_surface_get_width(picture.get()), shot["width"].asInt());
  ASSERT_EQ(cairo_image_surface_get_height(picture.get()), 200);
  const ScreenRect rect = WindowRect("UIMessageBoxFrame");
  ASSERT_EQ(rect.width(), shot["width"].asInt());
  // The screen shows the box once the X server has drawn it.
  double differing = 1;
  ASSERT_TRUE(WaitFor([&] {
    if (!Photograph(rect, "desktop-start-up-box-screen.png")) return false;
    const Surface screen = LoadPng(dir_.file("desktop-start-up-box-screen.png"));
    if (cairo_surface_status(screen.get()) != CAIRO_STATUS_SUCCESS ||
        cairo_image_surface_get_width(screen.get()) != rect.width() ||
        cairo_image_surface_get_height(screen.get()) != rect.height()) {
      return false;
    }
    differing = DifferingShare(picture.get(), screen.get());
    return differing < 0.02;
  })) << differing;
  // Not a blank: the title, the text, the icon and the button each bring colours of their own.
  std::set<std::uint32_t> colours;
  for (int y = 0; y < 200; y += 2) {
    for (int x = 0; x < rect.width(); x += 2) colours.insert(PixelAt(picture.get(), x, y));
  }
  EXPECT_GT(colours.size(), 20u);

  ASSERT_TRUE(client_.Call("answer_message_box", {{"button", "ok"}})["ok"].asBool());
  // The start goes on: the handler is registered and the main window comes.
  ASSERT_TRUE(WaitFor([&] { return WindowRect("UIMainFrame").width() == 1200; }))
      << ReadFile(dir_.file("zelk.out"));
  EXPECT_FALSE(MessageBox()["shown"].asBool());
  EXPECT_TRUE(fs::exists(dir_.file("home/data/applications/zelk-url-handler.desktop")));
}

TEST_F(ZelkOnTheDesktopTest, AMissingSupportLibraryIsReportedInTheDesktopsOwnDialog) {
  fs::remove(app_.file("libZelkLib.so"));
  std::vector<std::string> environment = app_.environment();
  std::erase_if(environment, [](const std::string& e) { return e.starts_with("ZELK_HEADLESS="); });
  for (auto& e : Environment()) environment.push_back(e);
  ASSERT_TRUE(program_.Start({app_.file("Zelk")}, {"ZELK_HEADLESS", "WAYLAND_DISPLAY"}, environment,
                             dir_.file("zelk.out")));
  ASSERT_TRUE(WaitFor([&] {
    return Xdo({"search", "--onlyvisible", "--name", "^Tamsel$"}, display_.name());
  })) << ReadFile(dir_.file("zelk.out"));
  EXPECT_NE(
      ReadFile(dir_.file("zelk.out")).find("Tamsel初始化核心模块失败，请尝试重新启动Tamsel.\n"),
      std::string::npos);
  // Its OK button ends the program.
  ASSERT_TRUE(Xdo(
      {"search", "--onlyvisible", "--name", "^Tamsel$", "windowfocus", "--sync", "key", "Return"},
      display_.name()));
  int code = -1;
  ASSERT_TRUE(program_.WaitForExit(kTimeoutMs, code));
  EXPECT_EQ(code, 0);
}

TEST_F(ZelkOnTheDesktopTest, TheMainWindowIsOnTheScreenAsksBeforeClosingAndLosingTheDisplayEndsIt) {
  StartZelk();
  AnswerTheStartUpBox();
  ASSERT_TRUE(WaitFor([&] {
    return Xdo({"search", "--onlyvisible", "--name", "Tamsel 3.1"}, display_.name());
  })) << ReadFile(dir_.file("zelk.out"));
  ASSERT_TRUE(WaitFor([&] { return WindowRect("UIMainFrame").width() == 1200; }));
  const ScreenRect main = WindowRect("UIMainFrame");
  EXPECT_EQ(main.height(), 900);
  ASSERT_TRUE(client_.Call("wait_idle", {{"timeout_ms", 10000}})["idle"].asBool());
  EXPECT_TRUE(Photograph(main, "desktop-main-window.png"));

  // On the GLib loop too, one connection clicks close, reads the waiting box and cancels it.
  EXPECT_TRUE(
      client_.Call("click", {{"window", "UIMainFrame"}, {"name", "closebtn"}})["ok"].asBool());
  const Json::Value box = client_.Call("message_box")["message_box"];
  EXPECT_TRUE(box["shown"].asBool());
  EXPECT_EQ(box["result"].asInt(), -1);
  EXPECT_EQ(box["text"].asString(), "确定要关闭Tamsel？");
  EXPECT_TRUE(client_.Call("answer_message_box", {{"button", "cancel"}})["ok"].asBool());
  EXPECT_TRUE(client_.Call("ping")["ok"].asBool());
  EXPECT_FALSE(client_.Call("message_box")["message_box"]["shown"].asBool());
  display_.Stop();
  int code = 0;
  ASSERT_TRUE(program_.WaitForExit(kTimeoutMs, code));
  EXPECT_EQ(code, 1);
  EXPECT_TRUE(LogHas("与桌面显示的连接已断开，Tamsel退出"));
}

// The programs below a process whose command is `name` (WebKit's web processes, say).
int DescendantsNamed(pid_t root, const std::string& name) {
  std::map<int, std::vector<int>> children;
  std::map<int, std::string> commands;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const int pid = std::atoi(entry.path().filename().c_str());
    if (pid <= 0) continue;
    const std::string stat = ReadFile(entry.path().string() + "/stat");
    const auto open = stat.find('(');
    const auto close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    commands[pid] = stat.substr(open + 1, close - open - 1);
    children[std::atoi(stat.c_str() + close + 4)].push_back(pid);
  }
  int count = 0;
  std::vector<int> pending = {root};
  while (!pending.empty()) {
    const int current = pending.back();
    pending.pop_back();
    for (const int child : children[current]) {
      if (commands[child].starts_with(name)) ++count;
      pending.push_back(child);
    }
  }
  return count;
}

// A picture of a screen area once it has stopped changing (two pictures in a row alike): web
// pages and pop-ups are drawn by other processes after the window answered.
// The client's web tabs and windows on the desktop: the six tabs load their service pages in
// one shared web process, and the secondary windows and menus are photographed.
TEST_F(ZelkOnTheDesktopTest, TheSixTabsShareOneWebProcessAndTheSecondaryWindowsShow) {
  StartZelk();
  AnswerTheStartUpBox();
  ASSERT_TRUE(WaitFor([&] { return WindowRect("UIMainFrame").width() == 1200; }));
  const std::vector<std::pair<std::string, std::string>> tabs = {
      {"quickBar_FAQ", "ie_for_faq"},
      {"quickBar_ProjectTemplate", "ie_for_project_template"},
      {"quickBar_Video", "ie_for_video"},
      {"quickBar_Game", "ie_for_game"},
      {"quickBar_Navigate", "ie_for_navigate"},
      {"quickBar_ShareEachDay", "ie_for_share_each_day"}};
  for (const auto& [option, browser] : tabs) {
    ASSERT_TRUE(WaitFor([&] {
      const Json::Value state =
          client_.Call("browser", {{"window", "UIMainFrame"}, {"name", browser}});
      return !state["loading"].asBool() &&
             state["url"].asString().find("/zelk/") != std::string::npos;
    })) << browser
        << " "
        << client_.Call("browser", {{"window", "UIMainFrame"}, {"name", browser}}).toStyledString();
  }
  // Twelve views (six tabs, six web windows), one web process.
  EXPECT_EQ(DescendantsNamed(program_.pid(), "WebKitWebProces"), 1);
  // Without a GPU, OpenGL (Mesa's software driver) is the web process's alone: loaded in the
  // client too it costs about 30 MB.
  if (!fs::exists("/dev/dri")) {
    EXPECT_EQ(ReadFile("/proc/" + std::to_string(program_.pid()) + "/maps").find("_dri.so"),
              std::string::npos);
  }

  // Web pages and pop-ups are drawn by other processes after the window answered: a picture
  // is kept once two taken in a row are alike.
  const auto settled = [&](const ScreenRect& r, const std::string& name) {
    return WaitFor([&] {
      if (!Photograph(r, "previous-" + name, false)) return false;
      if (!Photograph(r, name)) return false;
      const Surface a = LoadPng(dir_.file("previous-" + name));
      const Surface b = LoadPng(dir_.file(name));
      return DifferingShare(a.get(), b.get()) < 0.0005;
    });
  };
  const ScreenRect main = WindowRect("UIMainFrame");
  for (const auto& [option, browser] : tabs) {
    ASSERT_TRUE(
        client_.Call("click", {{"window", "UIMainFrame"}, {"name", option}})["ok"].asBool());
    EXPECT_TRUE(settled(main, "web-tab-" + browser.substr(7) + ".png"));
  }

  const auto open = [&](const std::string& button, const std::string& menu, const std::string& item,
                        const std::string& window) {
    ASSERT_TRUE(
        client_.Call("click", {{"window", "UIMainFrame"}, {"name", button}})["ok"].asBool());
    ASSERT_TRUE(WaitFor([&] { return WindowRect(menu).width() > 0; })) << menu;
    if (item.empty()) return;
    ASSERT_TRUE(client_.Call("click", {{"window", menu}, {"name", item}})["ok"].asBool());
    ASSERT_TRUE(WaitFor([&] { return WindowRect(window).width() > 0; })) << window;
  };
  const auto menuShot = [&](const std::string& menu, const std::string& name) {
    const ScreenRect r = WindowRect(menu);
    // The menu with a corner of the main window behind it.
    EXPECT_TRUE(settled({r.left - 40, r.top - 40, r.right, r.bottom}, name));
  };
  open("menubtn", "MenuWnd", "", "");
  menuShot("MenuWnd", "main-menu.png");
  ASSERT_TRUE(client_.Call("key", {{"window", "MenuWnd"}, {"key", "escape"}})["ok"].asBool());

  // The user-center menu belongs to a logged-in user's card; shown here without a login.
  ASSERT_TRUE(
      client_.Call("click", {{"window", "UIMainFrame"}, {"name", "quickBar_Home"}})["ok"].asBool());
  ASSERT_TRUE(client_
                  .Call("select", {{"window", "UIMainFrame"},
                                   {"name", "tluHome_Right_UserCenterDesktop"},
                                   {"index", 2}})["ok"]
                  .asBool());
  open("btnMenuForUserCenter", "UCenterMenuWnd", "", "");
  menuShot("UCenterMenuWnd", "user-center-menu.png");
  client_.Call("key", {{"window", "UCenterMenuWnd"}, {"key", "escape"}});

  for (const auto& [item, window, file] :
       {std::tuple{"main_menu_item_About", "UIAboutFrame", "about-window.png"},
        std::tuple{"main_menu_item_system_option", "UIOptionFrame", "options-window.png"}}) {
    open("menubtn", "MenuWnd", item, window);
    EXPECT_TRUE(settled(WindowRect(window), file));
    ASSERT_TRUE(client_.Call("click", {{"window", window}, {"name", "closebtn"}})["ok"].asBool());
  }
  ASSERT_TRUE(
      client_.Call("click", {{"window", "UIMainFrame"}, {"name", "quickBar_Cooperation"}})["ok"]
          .asBool());
  ASSERT_TRUE(
      client_.Call("click", {{"window", "UIMainFrame"}, {"name", "btnShowContactFrame"}})["ok"]
          .asBool());
  ASSERT_TRUE(WaitFor([&] { return WindowRect("UIContactFrame").width() > 0; }));
  // Shown just after the options window went: on top of the main window, drawn.
  EXPECT_TRUE(settled(WindowRect("UIContactFrame"), "contact-window.png"));
}

}  // namespace
}  // namespace skinui_gtk_test
