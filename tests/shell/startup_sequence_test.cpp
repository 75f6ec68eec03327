#include "shell/startup_sequence.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "core/window_messages.h"
#include "core/window_payloads.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/headless_message_loop.h"
#include "scripted_zelk_lib.h"
#include "support/temp_dir.h"

namespace shell {

using namespace core;
namespace {

using core_testing::ScriptedZelkLib;
using Events = std::vector<std::string>;

constexpr std::uint32_t kLoopStarted = 0x7001;

// Records what happens to the main window into the library's sequence of calls, so that the
// order of exports, window steps and log lines can be checked as one.
class ScriptedWindow final : public ClientMainWindow, private platform::MessageTarget {
 public:
  ScriptedWindow(ScriptedZelkLib& lib, platform::MessageLoop& loop, std::uint32_t quitOn,
                 std::function<void()> onMessage)
      : lib_(lib),
        loop_(loop),
        quitOn_(quitOn),
        onMessage_(std::move(onMessage)),
        id_(loop.addTarget(*this)) {
    lib_.note("window created");
  }
  ~ScriptedWindow() override { loop_.removeTarget(id_); }

  platform::WindowId window() const override { return id_; }
  void CenterAndShow() override {
    lib_.note("shown");
    loop_.post(id_, kLoopStarted);
  }
  void ProcessUrlProtocol(const std::u16string& request) override {
    lib_.note("ProcessUrlProtocol:" + platform::Utf16ToUtf8(request));
  }

 private:
  void onMessage(platform::Message& message) override {
    std::string note = message.message == kLoopStarted
                           ? "loop running"
                           : "message " + std::to_string(message.message);
    if (const auto* request = message.payload.get<UrlProtocolPayload>()) {
      note += " " + platform::Utf16ToUtf8(request->request);
    }
    lib_.note(note);
    if (onMessage_) onMessage_();
    if (message.message == quitOn_) loop_.quit();
  }

  ScriptedZelkLib& lib_;
  platform::MessageLoop& loop_;
  std::uint32_t quitOn_;
  std::function<void()> onMessage_;
  platform::WindowId id_;
};

class RecordingPresenter final : public MessagePresenter {
 public:
  explicit RecordingPresenter(ScriptedZelkLib& lib) : lib_(lib) {}
  void ShowMessage(const MessageBoxRequest& request) override {
    lib_.note("message:" + platform::Utf16ToUtf8(request.text));
    shown.push_back(request);
  }
  std::vector<MessageBoxRequest> shown;

 private:
  ScriptedZelkLib& lib_;
};

struct Replayed {
  std::uint32_t message;
  std::string text;
};

// Calls the listener's handler from its own thread, as the real channel does, with receipts
// whose senders are the given connections.
class ReplayingListener final : public platform::InstanceListener {
 public:
  ReplayingListener(platform::InstanceListener::Handler handler, std::vector<Replayed> messages,
                    std::vector<int> connections)
      : thread_([handler = std::move(handler), messages = std::move(messages),
                 connections = std::move(connections)] {
          for (std::size_t i = 0; i < messages.size(); ++i) {
            handler(messages[i].message, messages[i].text,
                    std::make_unique<Receipt>(connections[i], nullptr));
          }
        }) {}
  ~ReplayingListener() override { thread_.join(); }

 private:
  std::thread thread_;
};

// What a sender has been answered so far: 1 taken, 0 refused, -1 nothing yet.
int AnswerOf(int sender) {
  char answer = 0;
  const ssize_t n = recv(sender, &answer, 1, MSG_DONTWAIT);
  if (n == 1) return answer;
  return n == 0 ? 0 : -1;
}

class StartupSequenceTest : public ::testing::Test {
 protected:
  StartupEnvironment environment() {
    return StartupEnvironment{
        .binding = binding_,
        .appDirectory = dir_.path(),
        .serviceHost = "svc.example:8096",
        .loop = loop_,
        .launcher = launcher_,
        .presenter = presenter_,
        .createMainWindow = [this](MainWindowContext) -> std::unique_ptr<ClientMainWindow> {
          return std::make_unique<ScriptedWindow>(lib_, loop_, quitOn_, onWindowMessage_);
        },
        .startListener = [this](const std::string& name,
                                platform::InstanceListener::Handler handler)
            -> std::unique_ptr<platform::InstanceListener> {
          listenedName_ = name;
          std::vector<int> connections;
          for (std::size_t i = 0; i < replayed_.size(); ++i) {
            int pair[2];
            if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return nullptr;
            senders_.push_back(pair[0]);
            connections.push_back(pair[1]);
          }
          return std::make_unique<ReplayingListener>(std::move(handler), replayed_,
                                                     std::move(connections));
        },
        .windowing = {.open = [this](const std::string&) -> MessagePresenter* {
          lib_.note("window library opened");
          return nullptr;
        }},
        .reportLibraryMissing = [this](const std::u16string& text) { fatal_.push_back(text); },
    };
  }
  StartOutcome run(const std::string& commandLine) {
    return StartupSequence(environment()).Run(commandLine);
  }
  Events events() const { return lib_.record().events; }
  Events log() const { return lib_.record().log; }
  bool windowCreated() const {
    const Events all = events();
    return std::find(all.begin(), all.end(), "window created") != all.end();
  }

  testing_support::TempDir dir_;
  ScriptedZelkLib lib_;
  ZelkLibBinding binding_ = lib_.binding();
  platform::ManualClock clock_;
  platform::HeadlessMessageLoop loop_{clock_};
  platform::ShellLauncher launcher_{true};
  RecordingPresenter presenter_{lib_};
  void TearDown() override {
    for (const int sender : senders_) close(sender);
  }

  std::uint32_t quitOn_ = kLoopStarted;
  std::function<void()> onWindowMessage_;
  std::vector<Replayed> replayed_;
  std::vector<int> senders_;  // the later starts' ends of the replayed messages
  std::string listenedName_;
  std::vector<std::u16string> fatal_;
};

TEST_F(StartupSequenceTest, WithoutTheLibraryOnlyTheFatalMessageIsReported) {
  binding_ = ZelkLibBinding();
  EXPECT_EQ(run("Zelk://download/a=1"), StartOutcome::LibraryMissing);
  EXPECT_EQ(fatal_,
            std::vector<std::u16string>{u"Tamsel初始化核心模块失败，请尝试重新启动Tamsel."});
  EXPECT_TRUE(events().empty());
  EXPECT_TRUE(launcher_.requests().empty());
}

TEST_F(StartupSequenceTest, SecondStartWithoutRequestOnlyLogsThatAnInstanceRuns) {
  lib_.script({.runningProcesses = {"Zelk"}});
  EXPECT_EQ(run(""), StartOutcome::HandedOff);
  EXPECT_EQ(log(), Events{"已经有另外一个进程实例在运行"});
  EXPECT_TRUE(lib_.record().sent.empty());
  EXPECT_EQ(lib_.record().storedRequest, "");
  EXPECT_FALSE(windowCreated());
}

TEST_F(StartupSequenceTest, SecondStartHandsItsQuotedRequestToTheRunningInstance) {
  lib_.script({.runningProcesses = {"Zelk"}});
  EXPECT_EQ(run("\"Zelk://download/a=1\""), StartOutcome::HandedOff);
  EXPECT_EQ(events(), (Events{"HasRunningInstance", "log:已经有另外一个进程实例在运行",
                              "log:传递URL协议 Begin", "WriteDataToUrlProtocolShareMemory",
                              "SendMsgToRunningInstance", "log:传递URL协议 End"}));
  EXPECT_EQ(lib_.record().storedRequest, "Zelk://download/a=1");
  ASSERT_EQ(lib_.record().sent.size(), 1u);
  EXPECT_EQ(lib_.record().sent[0].processName, "Zelk");
  EXPECT_EQ(lib_.record().sent[0].message, 0x463u);
  EXPECT_EQ(lib_.record().sent[0].text, "Zelk://download/a=1");
}

TEST_F(StartupSequenceTest, RequestsThatAreNotWellFormedAreNotHandedOn) {
  lib_.script({.runningProcesses = {"Zelk"}});
  EXPECT_EQ(run("open Zelk://download/a=1"), StartOutcome::HandedOff);
  EXPECT_EQ(log(), Events{"已经有另外一个进程实例在运行"});
  EXPECT_EQ(run("Zelk://download/a=1 <script>"), StartOutcome::HandedOff);
  EXPECT_EQ(log(), (Events{"已经有另外一个进程实例在运行", "已经有另外一个进程实例在运行",
                           "URL协议格式不正确，不传递"}));
  EXPECT_TRUE(lib_.record().sent.empty());
  EXPECT_EQ(lib_.record().storedRequest, "");
}

TEST_F(StartupSequenceTest, WaitingUpdateStartsTheUpdaterWithOneInsteadOfTheClient) {
  dir_.write("judgeUpdate.txt", "1\r\n");
  EXPECT_EQ(run(""), StartOutcome::Updater);
  const auto requests = launcher_.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].verb, "open");
  EXPECT_EQ(requests[0].target, dir_.path() + "/ZelkUpdater");
  EXPECT_EQ(requests[0].parameters, "1");
  EXPECT_EQ(requests[0].directory, dir_.path());
  EXPECT_FALSE(windowCreated());
  EXPECT_TRUE(log().empty());
}

TEST_F(StartupSequenceTest, WaitingUpdateDoesNotStartASecondUpdater) {
  dir_.write("judgeUpdate.txt", "1");
  lib_.script({.runningProcesses = {"ZelkUpdater"}});
  EXPECT_EQ(run(""), StartOutcome::Updater);
  EXPECT_TRUE(launcher_.requests().empty());
  EXPECT_FALSE(windowCreated());
}

TEST_F(StartupSequenceTest, NewUpdaterReplacesTheOldOneBeforeItStarts) {
  dir_.write("judgeUpdate.txt", "1");
  dir_.write("ZelkUpdater", "old updater");
  dir_.write("TempPath/ZelkUpdater", "new updater");
  EXPECT_EQ(run(""), StartOutcome::Updater);
  EXPECT_EQ(dir_.read("ZelkUpdater"), "new updater");
  EXPECT_EQ(dir_.read("ZelkUpdater.old"), "old updater");
  EXPECT_FALSE(std::filesystem::exists(dir_.file("TempPath/ZelkUpdater")));
  EXPECT_EQ(launcher_.requests().size(), 1u);
}

TEST_F(StartupSequenceTest, IntroductionMarkLetsTheClientStart) {
  dir_.write("judgeUpdate.txt", "2\n");
  EXPECT_EQ(run(""), StartOutcome::Client);
  EXPECT_TRUE(windowCreated());
  EXPECT_TRUE(launcher_.requests().empty());
}

TEST_F(StartupSequenceTest, ClientStepsRunInTheirFixedOrder) {
  std::vector<std::string> preparations;
  StartupEnvironment env = environment();
  env.windowing.open = [&](const std::string& folder) -> MessagePresenter* {
    lib_.note("window library opened on " + folder);
    return nullptr;
  };
  env.windowing.registerShadowWindowClass = [&] { lib_.note("shadow class"); };
  env.windowing.clearUrlCache = [&] { lib_.note("cache cleared"); };
  EXPECT_EQ(StartupSequence(std::move(env)).Run(""), StartOutcome::Client);
  EXPECT_EQ(events(),
            (Events{"HasRunningInstance", "window library opened on " + dir_.path() + "/Skin/Zelk",
                    "NeedUpdateZelkEnviroment", "TrySetIE_FEATURE_BROWSER_EMULATION",
                    "WriteDataToZelkInterfaceShareMemory", "shadow class", "cache cleared",
                    "window created", "shown", "loop running"}));
  EXPECT_EQ(lib_.record().browserEmulationProcess, "Zelk");
  EXPECT_EQ(lib_.record().serviceHost, "svc.example:8096");
}

TEST_F(StartupSequenceTest, FirstStartProcessesItsRequestAfterShowingAndBeforeTheLoop) {
  EXPECT_EQ(run("\"Zelk://download/a=1\""), StartOutcome::Client);
  const Events all = events();
  const auto shown = std::find(all.begin(), all.end(), "shown");
  ASSERT_NE(shown, all.end());
  EXPECT_EQ(Events(shown, all.end()), (Events{"shown", "log:URL Protocol Process Begin",
                                              "ProcessUrlProtocol:Zelk://download/a=1",
                                              "log:URL Protocol Process End", "loop running"}));
}

TEST_F(StartupSequenceTest, EnvironmentThatNeedsRegisteringIsAnnouncedAndRegistered) {
  lib_.script({.environmentStatus = u"1", .environmentMessage = u"需要注册Tamsel运行环境"});
  EXPECT_EQ(run(""), StartOutcome::Client);
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(presenter_.shown[0].text, u"需要注册Tamsel运行环境");
  EXPECT_EQ(presenter_.shown[0].height, 200);
  EXPECT_TRUE(presenter_.shown[0].wait);
  EXPECT_EQ(presenter_.shown[0].icon, MessageIcon::Information);
  EXPECT_EQ(presenter_.shown[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(lib_.record().registerForce, Events{"0"});
  EXPECT_TRUE(windowCreated());
}

TEST_F(StartupSequenceTest, OnceTheWindowLibraryIsOpenItShowsTheStartUpMessages) {
  RecordingPresenter onScreen(lib_);
  StartupEnvironment env = environment();
  env.windowing.open = [&](const std::string&) -> MessagePresenter* { return &onScreen; };
  lib_.script({.environmentStatus = u"1",
               .environmentMessage = u"m",
               .raiseInRegister = true,
               .interfaceShareMemoryResult = 0});
  EXPECT_EQ(StartupSequence(std::move(env)).Run(""), StartOutcome::Client);
  EXPECT_TRUE(presenter_.shown.empty());
  ASSERT_EQ(onScreen.shown.size(), 3u);
  EXPECT_EQ(onScreen.shown[2].text, u"Tamsel初始化应用共享内存失败，请尝试重新启动Tamsel.");
}

TEST_F(StartupSequenceTest, FailedRegistrationIsReportedAndStartGoesOn) {
  lib_.script({.environmentStatus = u"1", .environmentMessage = u"m", .raiseInRegister = true});
  EXPECT_EQ(run(""), StartOutcome::Client);
  ASSERT_EQ(presenter_.shown.size(), 2u);
  EXPECT_EQ(presenter_.shown[1].text, u"注册环境失败，部分功能将无法使用.");
  EXPECT_EQ(presenter_.shown[1].height, 160);
  EXPECT_FALSE(presenter_.shown[1].wait);
  EXPECT_TRUE(windowCreated());
}

TEST_F(StartupSequenceTest, EnvironmentStatusOtherThanOneRegistersNothing) {
  lib_.script({.environmentStatus = u"11", .environmentMessage = u"m"});
  run("");
  EXPECT_TRUE(presenter_.shown.empty());
  EXPECT_TRUE(lib_.record().registerForce.empty());
}

TEST_F(StartupSequenceTest, InterfaceSharedMemoryFailureEndsTheStartWithItsMessage) {
  for (const int result : {0, 2}) {
    presenter_.shown.clear();
    lib_.script({.interfaceShareMemoryResult = result});
    EXPECT_EQ(run(""), StartOutcome::Client);
    ASSERT_EQ(presenter_.shown.size(), 1u) << result;
    EXPECT_EQ(presenter_.shown[0].text, u"Tamsel初始化应用共享内存失败，请尝试重新启动Tamsel.");
    EXPECT_EQ(presenter_.shown[0].height, 160);
    EXPECT_TRUE(presenter_.shown[0].wait);
  }
  EXPECT_FALSE(windowCreated());
}

TEST_F(StartupSequenceTest, MissingExportsDecideAsTheirFallbacksSay) {
  // No HasRunningInstance: no other instance runs. No interface shared memory: start fails.
  binding_ = lib_.binding({"HasRunningInstance", "WriteDataToZelkInterfaceShareMemory"});
  EXPECT_EQ(run("Zelk://download/a=1"), StartOutcome::Client);
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(presenter_.shown[0].text, u"Tamsel初始化应用共享内存失败，请尝试重新启动Tamsel.");
  EXPECT_FALSE(windowCreated());
}

TEST_F(StartupSequenceTest, FailureBeforeTheOutcomeIsLoggedAndEndsTheStart) {
  lib_.script({.raiseInHasRunningInstance = true});
  EXPECT_EQ(run(""), StartOutcome::Aborted);
  EXPECT_EQ(log(), Events{"未知原因找出程序关闭."});
  EXPECT_FALSE(windowCreated());
}

TEST_F(StartupSequenceTest, FailureInsideTheClientStepsIsLoggedAndEndsTheClient) {
  StartupEnvironment env = environment();
  env.createMainWindow = [](MainWindowContext) -> std::unique_ptr<ClientMainWindow> {
    throw std::bad_alloc();
  };
  EXPECT_EQ(StartupSequence(std::move(env)).Run(""), StartOutcome::Client);
  EXPECT_EQ(log(), Events{"未知原因找出程序关闭."});
}

TEST_F(StartupSequenceTest, MainWindowThatCannotBeCreatedEndsTheStart) {
  StartupEnvironment env = environment();
  env.createMainWindow = [](MainWindowContext) { return std::unique_ptr<ClientMainWindow>(); };
  EXPECT_EQ(StartupSequence(std::move(env)).Run(""), StartOutcome::Aborted);
  EXPECT_TRUE(log().empty());
}

TEST_F(StartupSequenceTest, OnlyWellFormedRequestsOfLaterStartsReachTheMainWindowWithTheirText) {
  quitOn_ = WM_URL_PROTOCOL_ARRIVED;
  replayed_ = {{0x4C9, "zelk://download/a=1"},
               {0x10, ""},
               {WM_URL_PROTOCOL_ARRIVED, ""},
               {WM_URL_PROTOCOL_ARRIVED, "zelk://download/a=1\nb"},
               {WM_URL_PROTOCOL_ARRIVED, "zelk://download/a=2"}};
  int answerWhileHandled = -2;
  onWindowMessage_ = [&] { answerWhileHandled = AnswerOf(senders_.back()); };
  EXPECT_EQ(run(""), StartOutcome::Client);
  EXPECT_EQ(listenedName_, "Zelk");
  Events received;
  for (const std::string& e : events()) {
    if (e.starts_with("message ")) received.push_back(e);
  }
  EXPECT_EQ(received,
            Events{"message " + std::to_string(WM_URL_PROTOCOL_ARRIVED) + " zelk://download/a=2"});
  // The later start hears back only once the window thread is done with its message.
  EXPECT_EQ(answerWhileHandled, -1);
  EXPECT_EQ(AnswerOf(senders_.back()), 1);
  for (std::size_t i = 0; i + 1 < senders_.size(); ++i) EXPECT_EQ(AnswerOf(senders_[i]), 0) << i;
}

}  // namespace
}  // namespace shell
