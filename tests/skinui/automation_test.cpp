#include "skinui/automation_server.h"

#include <gtest/gtest.h>
#include <json/json.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cairo.h>
#include <atomic>
#include <cstring>
#include <thread>

#include "platform/headless_message_loop.h"
#include "skinui/edit.h"
#include "skinui/lib_message_box.h"
#include "skinui/option.h"
#include "support/temp_dir.h"
#include "ui_test_support.h"

namespace skinui {
namespace {

std::string StagedSkin() {
  const char* app = std::getenv("ZELK_APP_DIR");
  return std::string(app != nullptr ? app : ".") + "/Skin/Zelk";
}

int Connect(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool SendAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// One line, or "" when the peer hung up.
std::string ReadLine(int fd) {
  std::string line;
  char c;
  while (::recv(fd, &c, 1, 0) == 1) {
    if (c == '\n') return line;
    line += c;
  }
  return "";
}

Json::Value Array(std::initializer_list<Json::Value> values) {
  Json::Value array(Json::arrayValue);
  for (const auto& v : values) array.append(v);
  return array;
}

const char* kForm = R"(<Window size="320,240">
  <VerticalLayout name="root" bkcolor="#FF102030">
    <Button name="btnGo" height="30" text="走" tooltip="go" normalimage="page_bkg.png"/>
    <Button name="btnHidden" height="30" visible="false"/>
    <Button name="btnOff" height="30" enabled="false"/>
    <Edit name="txtKeyword" height="30"/>
    <Option name="opAuto" height="30"/>
    <TabLayout name="tabs" height="40"><Label name="page0"/><Label name="page1"/></TabLayout>
    <Progress name="pg" height="10" value="42"/>
    <List name="lst"><ListContainerElement name="row0" height="20"><Label name="lbl0" text="a"/></ListContainerElement></List>
  </VerticalLayout></Window>)";

class AutomationTest : public ::testing::Test {
 protected:
  AutomationTest()
      : context(loop, std::make_unique<HeadlessBackend>(loop), StagedSkin()),
        server(context),
        window(context, kForm, "UIDemoFrame") {
    context.SetLogSink([](const std::string&) {});
    context.SetShell(&shell);
    window.Create(nullptr, u"演示", WS_POPUP | WS_VISIBLE, 0);
    path = dir.file("automation.sock");
    std::string error;
    EXPECT_TRUE(server.Start(path, error)) << error;
  }

  // Sends each request over one connection (a client thread) while this thread runs the loop.
  std::vector<Json::Value> Exchange(const std::vector<std::string>& lines) {
    std::vector<std::string> replies;
    std::atomic<bool> done{false};
    std::thread client([&] {
      const int fd = Connect(path);
      for (const auto& line : lines) {
        if (fd < 0 || !SendAll(fd, line + "\n")) break;
        replies.push_back(ReadLine(fd));
      }
      if (fd >= 0) ::close(fd);
      done = true;
      loop.post(window.GetHWND(), WM_USER + 77);  // wakes the loop
    });
    while (!done) loop.pumpFor(20);
    client.join();
    std::vector<Json::Value> answers;
    for (const auto& reply : replies) {
      Json::Value value;
      Json::CharReaderBuilder builder;
      std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
      std::string error;
      EXPECT_TRUE(reader->parse(reply.data(), reply.data() + reply.size(), &value, &error))
          << reply;
      answers.push_back(value);
    }
    return answers;
  }
  Json::Value One(const std::string& line) {
    auto answers = Exchange({line});
    return answers.empty() ? Json::Value() : answers[0];
  }

  platform::HeadlessMessageLoop loop;
  UiContext context;
  platform::ShellLauncher shell{true};
  AutomationServer server;
  skinui_test::LayoutWindow window;
  testing_support::TempDir dir;
  std::string path;
};

TEST_F(AutomationTest, SocketIsPrivateToTheUser) {
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISSOCK(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// Exit status of a child that connects as user "nobody" and sends a ping: 0 when it was not
// served (connection refused or hung up on), 1 when it got an answer.
int PingAsNobody(const std::string& path, platform::MessageLoop& loop, platform::WindowId wake) {
  // The child only makes system calls: no allocation after fork in a threaded process.
  static const char kPing[] = "{\"cmd\":\"ping\"}\n";
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) ::_exit(0);
    ::send(fd, kPing, sizeof kPing - 1, MSG_NOSIGNAL);
    char reply[64];
    ::_exit(::recv(fd, reply, sizeof reply, 0) <= 0 ? 0 : 1);
  }
  int status = 0;
  std::atomic<bool> done{false};
  std::thread waiter([&] {
    ::waitpid(child, &status, 0);
    done = true;
    loop.post(wake, WM_USER + 77);
  });
  while (!done) loop.pumpFor(20);
  waiter.join();
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(AutomationTest, PeerOfAnotherUserIsNotServed) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  EXPECT_EQ(PingAsNobody(path, loop, window.GetHWND()), 0);  // the file mode keeps it out
  // Even when the file mode would let it in, the peer check hangs up on it.
  ASSERT_EQ(::chmod(dir.path().c_str(), 0711), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
  EXPECT_EQ(PingAsNobody(path, loop, window.GetHWND()), 0);
  EXPECT_TRUE(One("{\"cmd\":\"ping\"}")["ok"].asBool());
}

TEST_F(AutomationTest, BadRequestsGetClearErrors) {
  const auto answers =
      Exchange({"this is not json", "[1,2]", "{\"cmd\":\"fly\"}",
                "{\"cmd\":\"control\",\"window\":\"UINope\",\"name\":\"x\"}",
                "{\"cmd\":\"control\",\"window\":\"UIDemoFrame\",\"name\":\"nope\"}",
                "{\"cmd\":\"control\",\"window\":\"UIDemoFrame\"}", "{\"cmd\":\"ping\"}",
                std::string(5000, '[') + std::string(5000, ']'), "{\"cmd\":\"ping\"}"});
  ASSERT_EQ(answers.size(), 9u);
  for (int i = 0; i < 6; ++i) EXPECT_FALSE(answers[i]["ok"].asBool()) << i;
  // Nesting too deep for the parser is refused like any other text that is not JSON.
  EXPECT_NE(answers[7]["error"].asString().find("not JSON"), std::string::npos);
  EXPECT_TRUE(answers[8]["ok"].asBool());
  EXPECT_NE(answers[0]["error"].asString().find("not JSON"), std::string::npos);
  EXPECT_NE(answers[2]["error"].asString().find("unknown command 'fly'"), std::string::npos);
  EXPECT_EQ(answers[3]["error"].asString(), "no window 'UINope'");
  EXPECT_EQ(answers[4]["error"].asString(), "window 'UIDemoFrame' has no control 'nope'");
  EXPECT_TRUE(answers[6]["ok"].asBool());  // the connection survives bad requests
}

TEST_F(AutomationTest, RequestOverOneMebibyteIsRefusedAndTheConnectionClosed) {
  std::string reply;
  std::string after = "unset";
  std::atomic<bool> done{false};
  std::thread client([&] {
    const int fd = Connect(path);
    SendAll(fd, "{\"cmd\":\"ping\",\"pad\":\"" +
                    std::string(AutomationServer::kMaxRequestBytes + 10, 'x'));
    reply = ReadLine(fd);
    after = ReadLine(fd);
    ::close(fd);
    done = true;
    loop.post(window.GetHWND(), WM_USER + 77);
  });
  while (!done) loop.pumpFor(20);
  client.join();
  EXPECT_NE(reply.find("\"ok\":false"), std::string::npos) << reply;
  EXPECT_NE(reply.find("longer than 1 MiB"), std::string::npos) << reply;
  EXPECT_EQ(after, "");
  EXPECT_TRUE(One("{\"cmd\":\"ping\"}")["ok"].asBool());
}

TEST_F(AutomationTest, WindowsAndControlsAreDescribed) {
  const auto answers =
      Exchange({"{\"cmd\":\"windows\"}",
                "{\"cmd\":\"control\",\"window\":\"UIDemoFrame\",\"name\":\"btnGo\"}",
                "{\"cmd\":\"control\",\"window\":\"UIDemoFrame\",\"name\":\"pg\"}",
                "{\"cmd\":\"control\",\"window\":\"UIDemoFrame\",\"name\":\"page1\"}",
                "{\"cmd\":\"tree\",\"window\":\"UIDemoFrame\"}",
                "{\"cmd\":\"items\",\"window\":\"UIDemoFrame\",\"name\":\"lst\"}"});
  ASSERT_EQ(answers.size(), 6u);
  const Json::Value& w = answers[0]["windows"][0];
  EXPECT_EQ(w["class"].asString(), "UIDemoFrame");
  EXPECT_EQ(w["caption"].asString(), "演示");
  EXPECT_TRUE(w["visible"].asBool());
  const Json::Value& go = answers[1]["control"];
  EXPECT_EQ(go["class"].asString(), "ButtonUI");
  EXPECT_EQ(go["text"].asString(), "走");
  EXPECT_EQ(go["tooltip"].asString(), "go");
  EXPECT_EQ(go["normalimage"].asString(), "page_bkg.png");
  EXPECT_EQ(go["rect"], Array({0, 0, 320, 30}));
  EXPECT_EQ(answers[2]["control"]["value"].asInt(), 42);
  EXPECT_TRUE(answers[3]["control"]["visible"].asBool());
  EXPECT_FALSE(answers[3]["control"]["shown"].asBool());  // not the selected page
  const Json::Value& tree = answers[4]["tree"];
  EXPECT_EQ(tree["name"].asString(), "root");
  EXPECT_EQ(tree["bkcolor"].asString(), "#FF102030");
  EXPECT_EQ(tree["count"].asInt(), 8);
  EXPECT_EQ(tree["children"][5]["children"][1]["name"].asString(), "page1");
  EXPECT_EQ(answers[5]["items"][0]["children"][0]["text"].asString(), "a");
}

TEST_F(AutomationTest, InputRequestsActAsTheUserWould) {
  window.GetPaintManager().UpdateLayout();
  window.seen.clear();
  const auto answers = Exchange({
      "{\"cmd\":\"click\",\"window\":\"UIDemoFrame\",\"name\":\"btnGo\"}",
      "{\"cmd\":\"click\",\"window\":\"UIDemoFrame\",\"name\":\"btnHidden\"}",
      "{\"cmd\":\"click\",\"window\":\"UIDemoFrame\",\"name\":\"btnOff\"}",
      "{\"cmd\":\"set_text\",\"window\":\"UIDemoFrame\",\"name\":\"txtKeyword\",\"text\":\"钢筋\"}",
      "{\"cmd\":\"key\",\"window\":\"UIDemoFrame\",\"name\":\"txtKeyword\",\"key\":\"return\"}",
      "{\"cmd\":\"select\",\"window\":\"UIDemoFrame\",\"name\":\"tabs\",\"index\":1}",
      "{\"cmd\":\"select\",\"window\":\"UIDemoFrame\",\"name\":\"tabs\",\"index\":5}",
      "{\"cmd\":\"check\",\"window\":\"UIDemoFrame\",\"name\":\"opAuto\",\"selected\":true}",
      "{\"cmd\":\"key\",\"window\":\"UIDemoFrame\",\"name\":\"opAuto\",\"key\":\"return\"}",
      "{\"cmd\":\"click\",\"window\":\"UIDemoFrame\",\"name\":\"row0\"}",
      "{\"cmd\":\"resize\",\"window\":\"UIDemoFrame\",\"width\":500,\"height\":400}",
      "{\"cmd\":\"control\",\"window\":\"UIDemoFrame\",\"name\":\"btnGo\"}",
  });
  ASSERT_EQ(answers.size(), 12u);
  EXPECT_TRUE(answers[0]["ok"].asBool());
  EXPECT_EQ(answers[1]["error"].asString(), "control 'btnHidden' is not shown");
  EXPECT_EQ(answers[2]["error"].asString(), "control 'btnOff' is not enabled");
  EXPECT_TRUE(answers[3]["ok"].asBool());
  EXPECT_TRUE(answers[5]["ok"].asBool());
  EXPECT_FALSE(answers[6]["ok"].asBool());
  EXPECT_EQ(answers[10]["rect"][2].asInt() - answers[10]["rect"][0].asInt(), 500);
  EXPECT_EQ(answers[11]["control"]["rect"][2].asInt(), 500);
  EXPECT_EQ(window.GetPaintManager().Find<Edit>("txtKeyword").GetText(), u"钢筋");
  EXPECT_TRUE(window.GetPaintManager().Find<Option>("opAuto").IsSelected());
  EXPECT_EQ(window.Types(),
            (std::vector<std::string>{
                "click:btnGo", "setfocus:txtKeyword", "textchanged:txtKeyword", "return:txtKeyword",
                "tabselect:tabs", "selectchanged:opAuto", "killfocus:txtKeyword", "setfocus:opAuto",
                "return:opAuto", "itemclick:row0", "itemselect:lst"}));
}

TEST_F(AutomationTest, MessageBoxTimersShellAndScreenshot) {
  ShowLibMessageBox(nullptr, 1, 0, u"请输入要查找的内容", 160, false);
  window.SetTimer(30, 180000);
  shell.open({"open", "https://example.invalid/help", "", ""});
  const std::string shot = dir.file("shot.png");
  const auto answers = Exchange({
      "{\"cmd\":\"message_box\"}",
      "{\"cmd\":\"answer_message_box\",\"button\":\"ok\"}",
      "{\"cmd\":\"message_box\"}",
      "{\"cmd\":\"answer_message_box\",\"button\":\"ok\"}",
      "{\"cmd\":\"timers\",\"window\":\"UIDemoFrame\"}",
      "{\"cmd\":\"fire_timer\",\"window\":\"UIDemoFrame\",\"id\":30}",
      "{\"cmd\":\"fire_timer\",\"window\":\"UIDemoFrame\",\"id\":31}",
      "{\"cmd\":\"opened\"}",
      "{\"cmd\":\"wait_idle\",\"timeout_ms\":2000}",
      "{\"cmd\":\"screenshot\",\"window\":\"UIDemoFrame\",\"path\":\"" + shot + "\"}",
  });
  ASSERT_EQ(answers.size(), 10u);
  const Json::Value& box = answers[0]["message_box"];
  EXPECT_TRUE(box["shown"].asBool());
  EXPECT_EQ(box["title"].asString(), "提醒");
  EXPECT_EQ(box["text"].asString(), "请输入要查找的内容");
  EXPECT_EQ(box["icon"].asInt(), 1);
  EXPECT_EQ(box["buttons"], Array({"确定"}));
  EXPECT_TRUE(answers[1]["ok"].asBool());
  EXPECT_FALSE(answers[2]["message_box"]["shown"].asBool());
  EXPECT_EQ(answers[2]["message_box"]["result"].asInt(), 1);
  EXPECT_EQ(answers[3]["error"].asString(), "no message box is shown");
  EXPECT_EQ(answers[4]["timers"][0]["id"].asInt(), 30);
  EXPECT_EQ(answers[4]["timers"][0]["period_ms"].asInt(), 180000);
  EXPECT_TRUE(answers[5]["ok"].asBool());
  EXPECT_FALSE(answers[6]["ok"].asBool());
  EXPECT_EQ(answers[7]["opened"][0]["target"].asString(), "https://example.invalid/help");
  EXPECT_TRUE(answers[8]["idle"].asBool());
  EXPECT_TRUE(answers[9]["ok"].asBool());
  cairo_surface_t* png = cairo_image_surface_create_from_png(shot.c_str());
  EXPECT_EQ(cairo_image_surface_get_width(png), 320);
  EXPECT_EQ(cairo_image_surface_get_height(png), 240);
  cairo_surface_destroy(png);
}

TEST_F(AutomationTest, RequestsAreServedWhileAMessageBoxWaits) {
  // The box below waits on this thread; the client answers it through the socket.
  std::atomic<bool> done{false};
  std::string shownLine;
  std::thread client([&] {
    const int fd = Connect(path);
    for (int i = 0; i < 200; ++i) {
      SendAll(fd, "{\"cmd\":\"message_box\"}\n");
      shownLine = ReadLine(fd);
      if (shownLine.find("\"shown\":true") != std::string::npos) break;
    }
    SendAll(fd, "{\"cmd\":\"answer_message_box\",\"button\":\"cancel\"}\n");
    ReadLine(fd);
    ::close(fd);
    done = true;
  });
  EXPECT_EQ(ShowLibMessageBox(nullptr, 3, 3, u"确定要关闭Tamsel？", 160, false), 0);
  client.join();
  EXPECT_NE(shownLine.find("确定要关闭Tamsel？"), std::string::npos);
}

}  // namespace
}  // namespace skinui
