// The product installed into a temporary prefix as a user would install it, "zelk://" registered
// with the desktop's own tool in private XDG folders (the machine's settings are never touched),
// links opened with xdg-open as a browser hands them over, and the installation removed again.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "child_process.h"
#include "client_process.h"
#include "support/automation_client.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using core_testing::ChildExit;
using testing_support::AutomationClient;

constexpr int kProcessTimeoutMs = 60000;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every file below a folder with its size and modification time.
std::map<std::string, std::string> Tree(const std::string& folder) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    struct stat info {};
    lstat(entry.path().c_str(), &info);
    tree[fs::relative(entry.path(), folder).string()] = std::to_string(info.st_size) + "@" +
                                                        std::to_string(info.st_mtim.tv_sec) + "." +
                                                        std::to_string(info.st_mtim.tv_nsec);
  }
  return tree;
}

bool OnPath(const std::string& program) {
  return core_testing::RunToEnd("/bin/sh", {"-c", "command -v " + program + " >/dev/null"}).code ==
         0;
}

class InstalledClient : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OnPath("xdg-open") && OnPath("xdg-mime")) << "xdg-utils (scripts/setup.sh)";
    for (const char* folder : {"run", "home", "config", "data", "cache", "xdg"}) {
      fs::create_directories(dir_.file(folder));
    }
    fs::permissions(dir_.file("run"), fs::perms::owner_all);
  }

  // The environment of a desktop session whose settings live in the test's folders: a generic
  // desktop, the installation's share folder as the only system data folder.
  std::vector<std::string> Desktop() const {
    return {"HOME=" + dir_.file("home"), "XDG_CONFIG_HOME=" + dir_.file("config"),
            "XDG_DATA_HOME=" + dir_.file("data"), "XDG_CACHE_HOME=" + dir_.file("cache"),
            "XDG_CONFIG_DIRS=" + dir_.file("xdg"), "XDG_DATA_DIRS=" + prefix() + "/share",
            "XDG_RUNTIME_DIR=" + dir_.file("run"), "XDG_CURRENT_DESKTOP=X-Generic",
            // xdg-open hands links to scheme handlers only in a graphical session; the client
            // itself runs headless all the same.
            "DISPLAY=:0", "ZELK_HEADLESS=1", "ZELK_AUTOMATION=" + socket(),
            "ZELK_SHELL_OPEN=record", "ZELK_SERVICE_HOST=" + service_.host()};
  }
  ChildExit Run(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& output) const {
    return core_testing::WaitForEnd(
        core_testing::Start(program, arguments, dir_.path(), dir_.file(output), Desktop()),
        kProcessTimeoutMs);
  }
  std::string prefix() const { return dir_.file("prefix"); }
  std::string socket() const { return dir_.file("automation.sock"); }
  std::string state(const std::string& relative) const {
    return dir_.file("data/Tamsel/" + relative);
  }

  std::vector<std::string> Queued(AutomationClient& automation) {
    std::vector<std::string> titles;
    const Json::Value items = automation.Call(
        "items", {{"window", "UIMainFrame"}, {"name", "lstKnowlegeDownloading"}})["items"];
    std::function<void(const Json::Value&)> find = [&](const Json::Value& node) {
      if (node["name"].asString() == "txtTitle") titles.push_back(node["text"].asString());
      for (const Json::Value& child : node["children"]) find(child);
    };
    for (const Json::Value& item : items) find(item);
    return titles;
  }

  testing_support::TempDir dir_;
  ui_testing::DevService service_{ZELK_DEVSERVICE_PATH, dir_.file("service")};
};

TEST_F(InstalledClient, InstallOpenLinksFromTheDesktopAndUninstall) {
  // Install.
  const ChildExit install =
      core_testing::RunToEnd(ZELK_CMAKE, {"--install", ZELK_BUILD_DIR, "--prefix", prefix()}, "",
                             dir_.file("install.out"));
  ASSERT_TRUE(install.exited && install.code == 0) << ReadFile(dir_.file("install.out"));
  const std::string app = prefix() + "/lib/tamsel";
  for (const std::string& file :
       {app + "/Zelk", app + "/libZelkLib.so", app + "/libZelkWeb.so", app + "/ZelkUpdater",
        app + "/installed", app + "/Skin/Zelk/main_frame.xml",
        prefix() + "/share/pixmaps/tamsel.png", prefix() + "/lib/mozilla/plugins/libnpZelk.so"}) {
    EXPECT_TRUE(fs::is_regular_file(file)) << file;
  }
  const std::string entryPath = prefix() + "/share/applications/tamsel.desktop";
  const std::string entry = ReadFile(entryPath);
  EXPECT_NE(entry.find("\nExec=" + app + "/Zelk -- %u\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nMimeType=x-scheme-handler/zelk;\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nIcon=tamsel\n"), std::string::npos) << entry;
  if (OnPath("desktop-file-validate")) {
    const ChildExit valid = core_testing::RunToEnd(
        "/usr/bin/env", {"desktop-file-validate", entryPath}, "", dir_.file("validate.out"));
    EXPECT_EQ(valid.code, 0) << ReadFile(dir_.file("validate.out"));
  }
  const auto installed = Tree(prefix());

  // Register the handler the desktop's way.
  ASSERT_EQ(Run("/usr/bin/env", {"xdg-mime", "default", "tamsel.desktop", "x-scheme-handler/zelk"},
                "mime.out")
                .code,
            0)
      << ReadFile(dir_.file("mime.out"));
  ASSERT_TRUE(service_.Start()) << "the development service did not start";

  // A link opened from a browser starts the installed client, which queues the document.
  const int first = core_testing::Start("/usr/bin/env", {"xdg-open", "zelk://download/downid=1003"},
                                        dir_.path(), dir_.file("open1.out"), Desktop());
  ASSERT_GT(first, 0);
  AutomationClient automation;
  ASSERT_TRUE(automation.Connect(socket(), kProcessTimeoutMs)) << ReadFile(dir_.file("open1.out"));
  ASSERT_TRUE(automation.Call("wait_idle", {{"timeout_ms", 20000}})["idle"].asBool());
  EXPECT_EQ(Queued(automation).size(), 1u);
  EXPECT_FALSE(automation.Call("message_box")["message_box"]["shown"].asBool())
      << "the installed entry counts as the client's own registration";

  // A second link goes to the running client through a second start that ends at once.
  const ChildExit second =
      Run("/usr/bin/env", {"xdg-open", "zelk://download/downid=1001"}, "open2.out");
  EXPECT_TRUE(second.exited && second.code == 0) << ReadFile(dir_.file("open2.out"));
  EXPECT_TRUE(ui_testing::Eventually([&] { return Queued(automation).size() == 2; }));

  // The user's state is in the user's data folder.
  // The history reaches the disk soon after the change, from a writer thread of its own.
  std::string history;
  EXPECT_TRUE(ui_testing::Eventually([&] {
    history = ReadFile(state("DownloadHistory.xml"));
    return history.find("<DownloadId>1001</DownloadId>") != std::string::npos;
  }));
  EXPECT_NE(history.find("<DownloadId>1003</DownloadId>"), std::string::npos) << history;
  EXPECT_NE(history.find("<DownloadId>1001</DownloadId>"), std::string::npos) << history;
  EXPECT_NE(ReadFile(state("Log/Zelk.log")).find("接收到URL协议"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_.file("data/applications/zelk-url-handler.desktop")));

  automation.Call("quit");
  const ChildExit end = core_testing::WaitForEnd(first, kProcessTimeoutMs);
  EXPECT_TRUE(end.exited && end.code == 0) << ReadFile(dir_.file("open1.out"));
  EXPECT_EQ(Tree(prefix()), installed) << "the client wrote into its installation";

  // Uninstall: nothing of the installation is left.
  const ChildExit uninstall =
      core_testing::RunToEnd(ZELK_CMAKE, {"-DPREFIX=" + prefix(), "-P", ZELK_UNINSTALL_SCRIPT}, "",
                             dir_.file("uninstall.out"));
  EXPECT_TRUE(uninstall.exited && uninstall.code == 0) << ReadFile(dir_.file("uninstall.out"));
  EXPECT_TRUE(fs::is_directory(prefix()));
  EXPECT_TRUE(fs::is_empty(prefix())) << ReadFile(dir_.file("uninstall.out"));
}

}  // namespace
