// Starts the window library's demo program headless and drives it only through the automation
// socket, as the end-to-end tests of the client do.
#include <cairo.h>
#include <gtest/gtest.h>
#include <json/json.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "support/temp_dir.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

class Client {
 public:
  explicit Client(const std::string& path) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~Client() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool connected() const { return fd_ >= 0; }

  Json::Value Call(const Json::Value& request) {
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    const std::string line = Json::writeString(writer, request) + "\n";
    if (::send(fd_, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size()))
      return {};
    std::string reply;
    char c;
    while (::recv(fd_, &c, 1, 0) == 1 && c != '\n') reply += c;
    Json::Value value;
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string error;
    reader->parse(reply.data(), reply.data() + reply.size(), &value, &error);
    return value;
  }

 private:
  int fd_ = -1;
};

Json::Value Request(const std::string& cmd,
                    std::initializer_list<std::pair<const char*, Json::Value>> fields = {}) {
  Json::Value request;
  request["cmd"] = cmd;
  for (const auto& [key, value] : fields) request[key] = value;
  return request;
}

const char* kWindow = "UISkinUIDemoFrame";

class DemoProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    socket_ = dir_.file("automation.sock");
    const std::string skin = std::string(std::getenv("ZELK_APP_DIR")) + "/Skin/Zelk";
    std::vector<std::string> env = {"ZELK_AUTOMATION=" + socket_, "ZELK_HEADLESS=1",
                                    "ZELK_SHELL_OPEN=record", "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = SKINUI_DEMO_PATH;
    std::string skinFlag = "--skin";
    std::vector<char*> argv = {program.data(), skinFlag.data(), const_cast<char*>(skin.c_str()),
                               nullptr};
    ASSERT_EQ(::posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), envp.data()), 0);
    // Another process: poll for its socket with a bounded deadline.
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline) {
      client_ = std::make_unique<Client>(socket_);
      if (client_->connected() && client_->Call(Request("ping"))["ok"].asBool()) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    FAIL() << "the demo program did not start listening";
  }

  void TearDown() override {
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  // Waits (bounded) for the program to end; its exit status.
  int WaitForExit() {
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    int status = 0;
    while (Clock::now() < deadline) {
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -2;
  }

  Json::Value Control(const std::string& name) {
    return client_->Call(Request("control", {{"window", kWindow}, {"name", name}}))["control"];
  }

  testing_support::TempDir dir_;
  std::string socket_;
  pid_t pid_ = -1;
  bool exited_ = false;
  std::unique_ptr<Client> client_;
};

TEST_F(DemoProgramTest, DrivenOnlyThroughTheSocket) {
  Client& c = *client_;
  ASSERT_TRUE(c.Call(Request("wait_idle", {{"timeout_ms", 5000}}))["idle"].asBool());
  const Json::Value windows = c.Call(Request("windows"));
  ASSERT_EQ(windows["windows"][0]["class"].asString(), kWindow);

  // Typing and Enter.
  EXPECT_TRUE(
      c.Call(Request("select", {{"window", kWindow}, {"name", "cmbType"}, {"index", 1}}))["ok"]
          .asBool());
  EXPECT_TRUE(c.Call(Request("set_text",
                             {{"window", kWindow}, {"name", "txtKeyword"}, {"text", "钢筋"}}))["ok"]
                  .asBool());
  EXPECT_TRUE(
      c.Call(Request("key", {{"window", kWindow}, {"name", "txtKeyword"}, {"key", "return"}}))["ok"]
          .asBool());
  EXPECT_EQ(Control("txtAnswer")["text"].asString(), "搜索:钢筋 类型:规范");

  // Options switch the pages; a click on a page that is not shown is refused.
  EXPECT_FALSE(c.Call(Request("click", {{"window", kWindow}, {"name", "btnStep"}}))["ok"].asBool());
  EXPECT_TRUE(c.Call(Request("click", {{"window", kWindow}, {"name", "opPage2"}}))["ok"].asBool());
  EXPECT_EQ(Control("tluPages")["value"].asInt(), 2);
  EXPECT_TRUE(c.Call(Request("click", {{"window", kWindow}, {"name", "btnStep"}}))["ok"].asBool());
  EXPECT_EQ(Control("pgDownloadProgress")["value"].asInt(), 40);
  EXPECT_TRUE(
      c.Call(Request("select", {{"window", kWindow}, {"name", "tluPages"}, {"index", 1}}))["ok"]
          .asBool());
  const Json::Value items = c.Call(Request("items", {{"window", kWindow}, {"name", "lstResult"}}));
  EXPECT_EQ(items["items"].size(), 12u);
  EXPECT_TRUE(
      c.Call(Request("click", {{"window", kWindow}, {"name", "ouKnowlege_PageIndex_3"}}))["ok"]
          .asBool());
  EXPECT_TRUE(Control("ouKnowlege_PageIndex_3")["selected"].asBool());
  EXPECT_FALSE(Control("ouKnowlege_Next")["enabled"].asBool());
  EXPECT_TRUE(c.Call(Request("click", {{"window", kWindow}, {"name", "opPage0"}}))["ok"].asBool());

  // A box that does not wait: shown, answered.
  EXPECT_TRUE(c.Call(Request("click", {{"window", kWindow}, {"name", "btnInfo"}}))["ok"].asBool());
  Json::Value box = c.Call(Request("message_box"))["message_box"];
  EXPECT_TRUE(box["shown"].asBool());
  EXPECT_EQ(box["text"].asString(), "这是一条提示");
  EXPECT_TRUE(c.Call(Request("answer_message_box", {{"button", "ok"}}))["ok"].asBool());
  EXPECT_FALSE(c.Call(Request("message_box"))["message_box"]["shown"].asBool());

  // A box that waits inside the click: the click is answered while the box waits, and the same
  // connection reads and answers it. The click's handler goes on once the box's wait ends.
  EXPECT_TRUE(c.Call(Request("click", {{"window", kWindow}, {"name", "btnAsk"}}))["ok"].asBool());
  box = c.Call(Request("message_box"))["message_box"];
  EXPECT_TRUE(box["shown"].asBool());
  EXPECT_EQ(box["result"].asInt(), -1);
  EXPECT_EQ(box["title"].asString(), "询问");
  EXPECT_EQ(box["buttons"].size(), 2u);
  EXPECT_TRUE(c.Call(Request("answer_message_box", {{"button", "ok"}}))["ok"].asBool());
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (Clock::now() < deadline && Control("txtAnswer")["text"].asString() != "选择了确定") {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(Control("txtAnswer")["text"].asString(), "选择了确定");

  // The notice and the shell.
  EXPECT_TRUE(
      c.Call(Request("click", {{"window", kWindow}, {"name", "btnNotice"}}))["ok"].asBool());
  const Json::Value notice = c.Call(Request("message_box"))["notice"];
  EXPECT_TRUE(notice["shown"].asBool());
  EXPECT_EQ(c.Call(Request("windows"))["windows"][0]["active"].asBool(), true);
  EXPECT_TRUE(c.Call(Request("click", {{"window", kWindow}, {"name", "btnOpen"}}))["ok"].asBool());
  const Json::Value opened = c.Call(Request("opened"))["opened"];
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0]["verb"].asString(), "open");

  // A screenshot of the real window.
  const std::string shot = dir_.file("demo.png");
  ASSERT_TRUE(c.Call(Request("screenshot", {{"window", kWindow}, {"path", shot}}))["ok"].asBool());
  cairo_surface_t* png = cairo_image_surface_create_from_png(shot.c_str());
  ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(png), 640);
  EXPECT_EQ(cairo_image_surface_get_height(png), 480);
  cairo_surface_destroy(png);

  // The system close command ends the program.
  EXPECT_TRUE(c.Call(Request("quit"))["ok"].asBool());
  EXPECT_EQ(WaitForExit(), 0);
  EXPECT_FALSE(std::filesystem::exists(socket_));
}

TEST_F(DemoProgramTest, CloseButtonAsksAndCancelKeepsItRunning) {
  Client& c = *client_;
  EXPECT_TRUE(c.Call(Request("click", {{"window", kWindow}, {"name", "closebtn"}}))["ok"].asBool());
  EXPECT_TRUE(c.Call(Request("message_box"))["message_box"]["shown"].asBool());
  EXPECT_TRUE(c.Call(Request("answer_message_box", {{"button", "cancel"}}))["ok"].asBool());
  EXPECT_TRUE(c.Call(Request("ping"))["ok"].asBool());
  EXPECT_TRUE(c.Call(Request("quit"))["ok"].asBool());
  EXPECT_EQ(WaitForExit(), 0);
}

}  // namespace
