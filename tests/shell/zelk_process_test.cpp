// The client program run for real: two processes handing a request over, the update mark, the
// updater swap and the orderly end on SIGTERM.

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "child_process.h"
#include "staged_app.h"
#include "support/temp_dir.h"

namespace shell {

namespace {

namespace fs = std::filesystem;
using core_testing::ChildExit;
using core_testing::StagedApp;
using core_testing::WaitUntil;
using Lines = std::vector<std::string>;

constexpr int kProcessTimeoutMs = 20000;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class ZelkProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!StagedApp::LibraryBuilt()) {
      GTEST_SKIP() << "the support library is not built into " << StagedApp::SourceFolder();
    }
    app_.install("Zelk", "Zelk");
  }
  void TearDown() override {
    if (first_ > 0) {
      kill(first_, SIGTERM);
      core_testing::WaitForEnd(first_, kProcessTimeoutMs);
    }
  }

  ChildExit runZelk(const std::vector<std::string>& arguments) {
    return core_testing::WaitForEnd(
        core_testing::Start(app_.file("Zelk"), arguments, dir_.path(), dir_.file("second.out"),
                            app_.environment()),
        kProcessTimeoutMs);
  }
  // Starts the client and waits until it listens for later starts and its main window has
  // logged its last start-up step, so that later lines of the log belong to later starts.
  void startFirstInstance() {
    first_ = core_testing::Start(app_.file("Zelk"), {}, dir_.path(), dir_.file("first.out"),
                                 app_.environment());
    ASSERT_GT(first_, 0);
    ASSERT_TRUE(WaitUntil(kProcessTimeoutMs, [&] { return app_.instanceListening(); }));
    ASSERT_TRUE(WaitUntil(kProcessTimeoutMs, [&] { return logHas("DoShowIntroduce"); }));
  }
  bool logHas(const std::string& line) const {
    const Lines lines = app_.logLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  std::size_t position(const Lines& lines, const std::string& line) const {
    return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
  }

  testing_support::TempDir dir_;
  StagedApp app_{dir_.path()};
  int first_ = -1;
};

TEST_F(ZelkProcessTest, SecondStartHandsItsQuotedRequestToTheFirstAndEnds) {
  startFirstInstance();
  const ChildExit second = runZelk({"\"Zelk://download/a=1\""});
  EXPECT_TRUE(second.exited);
  EXPECT_EQ(second.code, 0);
  ASSERT_TRUE(WaitUntil(kProcessTimeoutMs, [&] { return logHas("Zelk://download/a=1"); }));
  const Lines lines = app_.logLines();
  EXPECT_LT(position(lines, "已经有另外一个进程实例在运行"), position(lines, "传递URL协议 Begin"));
  EXPECT_LT(position(lines, "传递URL协议 Begin"), position(lines, "接收到URL协议"));
  // The second start's last line may fall between the first instance's two.
  EXPECT_LT(position(lines, "接收到URL协议"), position(lines, "Zelk://download/a=1"));
  EXPECT_TRUE(logHas("传递URL协议 End"));
}

TEST_F(ZelkProcessTest, RequestFromABrowserReachesTheFirstInstance) {
  startFirstInstance();
  // As the desktop entry passes it: a separator, then the link with the scheme in lower case.
  const ChildExit second = runZelk({"--", "zelk://download/b=2"});
  EXPECT_TRUE(second.exited);
  EXPECT_EQ(second.code, 0);
  EXPECT_TRUE(WaitUntil(kProcessTimeoutMs, [&] { return logHas("zelk://download/b=2"); }));
}

TEST_F(ZelkProcessTest, ManyStartsAtOnceHandOverEachRequestExactlyOnce) {
  startFirstInstance();
  constexpr int kStarts = 20;
  std::vector<int> starts;
  for (int i = 1; i <= kStarts; ++i) {
    starts.push_back(core_testing::Start(
        app_.file("Zelk"), {"zelk://download/a=" + std::to_string(i)}, dir_.path(),
        dir_.file("start" + std::to_string(i) + ".out"), app_.environment()));
  }
  for (const int start : starts) {
    const ChildExit end = core_testing::WaitForEnd(start, kProcessTimeoutMs);
    EXPECT_TRUE(end.exited);
    EXPECT_EQ(end.code, 0);
  }
  const auto count = [](const Lines& lines, const std::string& line) {
    return std::count(lines.begin(), lines.end(), line);
  };
  // The running client writes each request it processes to the log, after the line that
  // announces its arrival.
  ASSERT_TRUE(WaitUntil(kProcessTimeoutMs,
                        [&] { return count(app_.logLines(), "接收到URL协议") >= kStarts; }));
  const Lines lines = app_.logLines();
  EXPECT_EQ(count(lines, "接收到URL协议"), kStarts);
  for (int i = 1; i <= kStarts; ++i) {
    const std::string request = "zelk://download/a=" + std::to_string(i);
    EXPECT_EQ(count(lines, request), 1) << request;
  }
}

TEST_F(ZelkProcessTest, SecondStartWithoutRequestOnlyLogsThatAnInstanceRuns) {
  startFirstInstance();
  const std::size_t before = app_.logLines().size();
  const ChildExit second = runZelk({});
  EXPECT_TRUE(second.exited);
  EXPECT_EQ(second.code, 0);
  // The first instance may still log its own late replies (a counter's missing label, say), so
  // only the lines a start writes are checked: the notice once, and no hand-off.
  const Lines lines = app_.logLines();
  const Lines later(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end());
  EXPECT_EQ(std::count(later.begin(), later.end(), "已经有另外一个进程实例在运行"), 1);
  for (const char* handOff : {"传递URL协议 Begin", "传递URL协议 End", "接收到URL协议"}) {
    EXPECT_EQ(std::count(later.begin(), later.end(), handOff), 0) << handOff;
  }
}

TEST_F(ZelkProcessTest, TerminationSignalEndsTheClientInOrder) {
  startFirstInstance();
  ASSERT_EQ(kill(first_, SIGTERM), 0);
  const ChildExit end = core_testing::WaitForEnd(first_, kProcessTimeoutMs);
  first_ = -1;
  EXPECT_TRUE(end.exited);
  EXPECT_EQ(end.code, 0);
  EXPECT_FALSE(app_.instanceListening());
}

TEST_F(ZelkProcessTest, WaitingUpdateStartsTheUpdaterWithOneAndNotTheClient) {
  app_.install(ZELK_ARG_RECORDER, "ZelkUpdater");
  std::ofstream(app_.file("judgeUpdate.txt")) << "1\r\n";
  const ChildExit start = runZelk({});
  EXPECT_TRUE(start.exited);
  EXPECT_EQ(start.code, 0);
  ASSERT_TRUE(
      WaitUntil(kProcessTimeoutMs, [&] { return fs::exists(app_.file("ZelkUpdater.args")); }));
  EXPECT_EQ(readFile(app_.file("ZelkUpdater.args")), app_.folder() + "\n1\n");
  EXPECT_FALSE(app_.instanceListening());
  EXPECT_TRUE(app_.logLines().empty());
}

TEST_F(ZelkProcessTest, NewUpdaterFromTheWaitingFolderReplacesTheOldOneBeforeItRuns) {
  app_.install("Zelk", "ZelkUpdater");  // stands for the old updater: any program will do
  fs::create_directories(app_.file("TempPath"));
  app_.install(ZELK_ARG_RECORDER, "TempPath/ZelkUpdater");
  const std::string oldUpdater = readFile(app_.file("ZelkUpdater"));
  const std::string newUpdater = readFile(app_.file("TempPath/ZelkUpdater"));
  std::ofstream(app_.file("judgeUpdate.txt")) << "1\n";
  const ChildExit start = runZelk({});
  EXPECT_TRUE(start.exited);
  EXPECT_EQ(start.code, 0);
  EXPECT_EQ(readFile(app_.file("ZelkUpdater.old")), oldUpdater);
  EXPECT_EQ(readFile(app_.file("ZelkUpdater")), newUpdater);
  EXPECT_FALSE(fs::exists(app_.file("TempPath/ZelkUpdater")));
  // The new updater is the one that ran.
  ASSERT_TRUE(
      WaitUntil(kProcessTimeoutMs, [&] { return fs::exists(app_.file("ZelkUpdater.args")); }));
  EXPECT_EQ(readFile(app_.file("ZelkUpdater.args")), app_.folder() + "\n1\n");
}

TEST_F(ZelkProcessTest, IntroductionMarkDoesNotStartTheUpdater) {
  app_.install(ZELK_ARG_RECORDER, "ZelkUpdater");
  std::ofstream(app_.file("judgeUpdate.txt")) << "2\n";
  startFirstInstance();  // the client runs
  EXPECT_FALSE(fs::exists(app_.file("ZelkUpdater.args")));
}

TEST_F(ZelkProcessTest, MissingLibraryIsReportedOnStandardErrorOnly) {
  fs::remove(app_.file("libZelkLib.so"));
  const ChildExit start = runZelk({"Zelk://download/a=1"});
  EXPECT_TRUE(start.exited);
  EXPECT_EQ(start.code, 0);
  EXPECT_EQ(readFile(dir_.file("second.out")), "Tamsel初始化核心模块失败，请尝试重新启动Tamsel.\n");
  EXPECT_FALSE(fs::exists(app_.file("Log")));
}

}  // namespace
}  // namespace shell
