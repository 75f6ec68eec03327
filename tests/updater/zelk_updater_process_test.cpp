// The updater program run for real with the support library: installing a waiting package and
// fetching an offered one from a service on loopback.

#include <gtest/gtest.h>
#include <httplib.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "child_process.h"
#include "staged_app.h"
#include "support/temp_dir.h"

namespace updater {
namespace {

namespace fs = std::filesystem;
using core_testing::ChildExit;
using core_testing::StagedApp;
using core_testing::WaitUntil;

constexpr int kProcessTimeoutMs = 30000;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes a zip archive holding the given entries (names taken as they are, hostile ones too).
void writeZip(const std::string& path,
              const std::vector<std::pair<std::string, std::string>>& entries) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(archive, nullptr);
  for (const auto& [name, content] : entries) {
    zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
    ASSERT_NE(source, nullptr);
    ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0) << name;
  }
  ASSERT_EQ(zip_close(archive), 0);
}

class ZelkUpdaterProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!StagedApp::LibraryBuilt()) {
      GTEST_SKIP() << "the support library is not built into " << StagedApp::SourceFolder();
    }
    app_.install("ZelkUpdater", "ZelkUpdater");
    app_.install(ZELK_ARG_RECORDER, "Zelk");  // the client it restarts records how
    fs::create_directories(app_.file("TempPath"));
  }
  ChildExit runUpdater(const std::vector<std::string>& arguments,
                       std::vector<std::string> extraEnvironment = {}) {
    std::vector<std::string> environment = app_.environment();
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    return core_testing::WaitForEnd(
        core_testing::Start(app_.file("ZelkUpdater"), arguments, dir_.path(),
                            dir_.file("updater.out"), environment),
        kProcessTimeoutMs);
  }
  bool clientStarted() {
    return WaitUntil(kProcessTimeoutMs, [&] { return fs::exists(app_.file("Zelk.args")); });
  }
  std::string mark() const { return readFile(app_.file("judgeUpdate.txt")); }

  testing_support::TempDir dir_;
  StagedApp app_{dir_.path()};
};

TEST_F(ZelkUpdaterProcessTest, InstallsTheWaitingPackageMarksTheIntroductionAndRestartsTheClient) {
  writeZip(app_.file("TempPath/update.zip"),
           {{"Data/notes.txt", "new notes"}, {"Modules/Tool/Version.txt", "3.2.0.0"}});
  std::ofstream(app_.file("Data/notes.txt")) << "old notes";
  std::ofstream(app_.file("judgeUpdate.txt")) << "1\n";
  const ChildExit exit = runUpdater({"1"});
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.code, 0);
  EXPECT_EQ(readFile(app_.file("Data/notes.txt")), "new notes");
  EXPECT_EQ(readFile(app_.file("Modules/Tool/Version.txt")), "3.2.0.0");
  EXPECT_EQ(mark(), "2\n");
  EXPECT_FALSE(fs::exists(app_.file("TempPath/update.zip")));
  ASSERT_TRUE(clientStarted());
  EXPECT_EQ(readFile(app_.file("Zelk.args")), app_.folder() + "\n");
}

TEST_F(ZelkUpdaterProcessTest, HostilePackageIsRefusedWholeAndTheClientStartsAnyway) {
  writeZip(app_.file("TempPath/update.zip"),
           {{"Data/fine.txt", "fine"}, {"../outside.txt", "escaped"}});
  std::ofstream(app_.file("judgeUpdate.txt")) << "1\n";
  const ChildExit exit = runUpdater({"1"});
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.code, 0);
  EXPECT_FALSE(fs::exists(dir_.file("outside.txt")));
  EXPECT_FALSE(fs::exists(app_.file("Data/fine.txt")));
  EXPECT_EQ(mark(), "\n");
  EXPECT_TRUE(clientStarted());
}

class UpdateService {
 public:
  explicit UpdateService(std::string package) : package_(std::move(package)) {
    server_.Get("/zelk/ClientUpdateApi.aspx",
                [this](const httplib::Request& request, httplib::Response& response) {
                  {
                    std::lock_guard lock(mutex_);
                    askedVersion_ = request.get_param_value("ver");
                  }
                  std::lock_guard lock(mutex_);
                  response.set_content(offer_, "application/json; charset=utf-8");
                });
    server_.Get("/files/update.zip", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content(package_, "application/zip");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    WaitUntil(5000, [this] { return server_.is_running(); });
  }
  ~UpdateService() {
    server_.stop();
    thread_.join();
  }
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
  void offer(const std::string& json) {
    std::lock_guard lock(mutex_);
    offer_ = json;
  }
  std::string askedVersion() {
    std::lock_guard lock(mutex_);
    return askedVersion_;
  }

 private:
  httplib::Server server_;
  std::string package_;
  std::string offer_;
  std::mutex mutex_;
  std::string askedVersion_;
  int port_ = 0;
  std::thread thread_;
};

TEST_F(ZelkUpdaterProcessTest, FetchesTheOfferedPackageIntoTheWaitingFolder) {
  const std::string package = std::string("PK\x03\x04 pretend package bytes ") + '\0' + "\x01\x02";
  UpdateService service(package);
  service.offer(R"({"result":1,"hasUpdate":1,"version":"3.2.0.0","url":"http://)" + service.host() +
                R"(/files/update.zip"})");
  const ChildExit exit = runUpdater({}, {"ZELK_SERVICE_HOST=" + service.host()});
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.code, 0);
  EXPECT_EQ(service.askedVersion(), "3.1.0.0");
  EXPECT_EQ(readFile(app_.file("TempPath/update.zip")), package);
  EXPECT_EQ(mark(), "1\n");
  EXPECT_FALSE(fs::exists(app_.file("Zelk.args")));  // the running client is left alone
}

TEST_F(ZelkUpdaterProcessTest, NothingOfferedLeavesNothingBehind) {
  UpdateService service("unused");
  service.offer(R"({"result":1,"hasUpdate":0})");
  const ChildExit exit = runUpdater({}, {"ZELK_SERVICE_HOST=" + service.host()});
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.code, 0);
  EXPECT_EQ(service.askedVersion(), "3.1.0.0");
  EXPECT_FALSE(fs::exists(app_.file("TempPath/update.zip")));
  EXPECT_FALSE(fs::exists(app_.file("judgeUpdate.txt")));
}

}  // namespace
}  // namespace updater
