// The app center and the home grid on a fake main window against the development service and
// its file server (in-process, real support library, manual clock): categories and pages, the
// busy guard, installing, starting, the version check and the upgrade, the download manager,
// edit-mode deletion, a window too narrow for the grid, and packages and names that must not
// write outside Modules.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app_center_routing.h"
#include "appcenter/app_button_ui.h"
#include "appcenter/app_market_download_mng_frame.h"
#include "devservice/options.h"
#include "devservice/zip_writer.h"
#include "platform/code_page.h"
#include "skinui/list.h"
#include "skinui/option.h"
#include "skinui/tile_layout.h"
#include "skinui/ui_context.h"
#include "skinui/window.h"
#include "support/fake_feature_host.h"
#include "support/local_service.h"
#include "support/temp_dir.h"

extern char** environ;

namespace appcenter {
namespace {

namespace fs = std::filesystem;

// A process whose program file carries the app's program name, as a started app would.
class RunningProgram {
 public:
  RunningProgram(const testing_support::TempDir& dir, const std::string& name) {
    const std::string path = dir.file(name);
    fs::copy_file("/bin/sleep", path, fs::copy_options::overwrite_existing);
    char arg0[] = "sleep";
    char arg1[] = "600";
    char* argv[] = {arg0, arg1, nullptr};
    if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) != 0) pid_ = 0;
  }
  ~RunningProgram() { Stop(); }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }
  bool started() const { return pid_ > 0; }

 private:
  pid_t pid_ = 0;
};

class AppCenterServiceTest : public ::testing::Test {
 protected:
  explicit AppCenterServiceTest(std::string filesRoot = {})
      : local{{.withFiles = true, .filesRoot = std::move(filesRoot)}} {
    platform::SetAnsiCodesetOverride("UTF-8");
    home->SetAppSearch([this](const std::u16string& text) { center->SearchApps(text); });
    host.SetMessageHandler([this](std::uint32_t message, platform::Payload& payload) {
      appcenter_testing::RouteToAppCenter(*center, *home, Pm(), message, payload);
    });
    Pm().AddNotifier(&notifier);
  }
  ~AppCenterServiceTest() override {
    Pm().RemoveNotifier(&notifier);
    platform::SetAnsiCodesetOverride("");
  }

  skinui::PaintManager& Pm() { return host.OwnerWindow().GetPaintManager(); }
  skinui::List& Apps() { return *Pm().TryFind<skinui::List>("lstAppMarketList"); }
  CAppMarketItemUI& Item(int i) { return *dynamic_cast<CAppMarketItemUI*>(Apps().GetItemAt(i)); }
  skinui::TileLayout& Grid() { return *Pm().TryFind<skinui::TileLayout>("tluHomeAppButtons"); }
  void Settle() { ASSERT_TRUE(ui.loop.waitIdle(120000)); }
  std::string Program(const std::string& relative) { return program.file(relative); }

  testing_support::TempDir program;
  net_testing::LocalService local;
  testing_support::HeadlessUi ui;
  testing_support::FakeFeatureHost host{ui.context, local.lib(), program.path(),
                                        appcenter_testing::kAppCenterLayout};
  std::unique_ptr<AppCenter> center = std::make_unique<AppCenter>(host);
  std::unique_ptr<HomeAppButtons> home = std::make_unique<HomeAppButtons>(host);
  appcenter_testing::CategoryNotifier notifier{*center};
};

TEST_F(AppCenterServiceTest, CataloguePagesInstallStartCheckUpgradeAndDelete) {
  ASSERT_TRUE(local.lib().loaded());
  center->DoInitAppMarketCategory();
  Settle();
  auto* categories = Pm().TryFind<skinui::Container>("vluAppMarketCategory");
  ASSERT_EQ(categories->GetCount(), 7);  // the spacer and six categories
  EXPECT_TRUE(dynamic_cast<skinui::Option*>(categories->GetItemAt(1))->IsSelected());
  ASSERT_EQ(Apps().GetCount(), 5);
  EXPECT_EQ(center->View().GetPageCount(), 2);
  center->OnAppMarketPagerClick("ouAppMarket_Next");
  Settle();
  EXPECT_EQ(Apps().GetCount(), 1);
  center->OnAppMarketPagerClick("ouAppMarket_Prev");
  Settle();
  ASSERT_EQ(Apps().GetCount(), 5);
  EXPECT_EQ(Item(0).Data().appName, u"RebarWeight");
  EXPECT_EQ(Item(0).ActionButton()->GetText(), u"安装");
  EXPECT_EQ(Item(0).ActionButton()->GetName(), "btnAppMarketItem_0");
  const bool noFramework =
      !local.lib().HasInstallDotNetFrameworkV40() && !local.lib().HasInstallDotNetFrameworkV45();
  EXPECT_EQ(Item(2).FindByName("btnNetFrameworkForAppMarketItem_2")->IsVisible(), noFramework);

  // The install runs; meanwhile paging and searching are refused, and the manager lists it.
  center->OnAppActionClick(0);
  EXPECT_FALSE(center->IsAppCenterIdle(false));
  center->OnAppMarketSearch();
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0].text, u"应用中心中有应用工具正在下载安装，请稍后操作.");
  center->ShowAppDownloadManager();
  CAppMarketDownloadMngFrame* manager = center->Downloads().managerWindow;
  ASSERT_NE(manager, nullptr);
  manager->GetPaintManager().UpdateLayout();  // its first layout makes the rows
  auto* rows = manager->GetPaintManager().TryFind<skinui::List>("lstDownloadingList");
  ASSERT_NE(rows, nullptr);
  EXPECT_EQ(rows->GetCount(), noFramework ? 2 : 1);
  // Clicking elsewhere closes it; later updates find no window.
  ui.context.SetActiveWindow(&host.OwnerWindow());
  EXPECT_EQ(center->Downloads().managerWindow, nullptr);
  Settle();

  EXPECT_TRUE(fs::is_regular_file(Program("Modules/RebarWeight/RebarWeight")));
  EXPECT_EQ(program.read("Modules/RebarWeight/Version.txt"), "1.2.0\n");
  EXPECT_FALSE(fs::exists(Program("Downloads/AppMarket/RebarWeight_1.2.0.zip")));
  EXPECT_EQ(fs::is_regular_file(Program("Downloads/Platform/dotNetFx40_Full_x86_x64.exe")),
            noFramework);
  EXPECT_TRUE(center->Downloads().Entries().empty());
  EXPECT_EQ(Item(0).State(), AppMarketItemState::Installed);
  EXPECT_EQ(Item(0).ActionButton()->GetText(), u"启动");
  EXPECT_FALSE(Item(0).ProgressShown());
  ASSERT_EQ(Grid().GetCount(), 1);
  auto* button = dynamic_cast<CAppButtonUI*>(Grid().GetItemAt(0));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->GetName(), "btnHomeAppBtn_0");
  EXPECT_EQ(button->GetText(), u"钢筋重量计算器");  // at most seven characters
  EXPECT_FALSE(button->showNewMark);

  // Starting it, from the list and from the home page.
  center->OnAppActionClick(0);
  home->OnHomeAppClick("btnHomeAppBtn_0", {});
  ASSERT_EQ(host.opened.size(), 2u);
  EXPECT_EQ(host.opened[0], platform::Utf8ToUtf16(Program("Modules/RebarWeight/RebarWeight")));
  EXPECT_EQ(host.opened[1], host.opened[0]);

  // An older copy: the version check marks it, the home button shows the badge, and a click
  // on it leads to the app center searched for it.
  program.write("Modules/RebarWeight/Version.txt", "1.1.0\n");
  home->CheckAppVersions();
  Settle();
  EXPECT_EQ(program.read("Modules/RebarWeight/Version.txt"), "1\n1.1.0\n");
  ASSERT_EQ(Grid().GetCount(), 1);
  EXPECT_TRUE(dynamic_cast<CAppButtonUI*>(Grid().GetItemAt(0))->showNewMark);
  home->OnHomeAppClick("btnHomeAppBtn_0", {});
  EXPECT_EQ(host.messageBoxes.back().text,
            u"应用工具【钢筋重量计算器】需要升级，请在应用中心中升级该应用.");
  Settle();
  ASSERT_GE(Apps().GetCount(), 1);
  EXPECT_EQ(Item(0).State(), AppMarketItemState::Upgradable);

  // The upgrade brings the package's own Version.txt back.
  center->OnAppActionClick(0);
  Settle();
  EXPECT_EQ(program.read("Modules/RebarWeight/Version.txt"), "1.2.0\n");
  EXPECT_EQ(Item(0).State(), AppMarketItemState::Installed);

  // Edit mode: a running app is refused, a stopped one deleted with its folder.
  home->ToggleHomeAppEditMode();
  EXPECT_EQ(Pm().FindControl("btnHomeAppEdit")->GetText(), u"完成");
  ASSERT_EQ(Grid().GetCount(), 1);
  Pm().UpdateLayout();
  button = dynamic_cast<CAppButtonUI*>(Grid().GetItemAt(0));
  const skinui::Rect mark = button->MarkRect();
  home->OnHomeAppClick("btnHomeAppBtn_0", {mark.left - 1, mark.top});  // outside the mark
  EXPECT_TRUE(fs::exists(Program("Modules/RebarWeight")));
  testing_support::TempDir elsewhere;
  RunningProgram running(elsewhere, "RebarWeight");
  ASSERT_TRUE(running.started());
  home->OnHomeAppClick("btnHomeAppBtn_0", {mark.right, mark.bottom});
  EXPECT_EQ(host.messageBoxes.back().text,
            u"应用工具【钢筋重量计算器】正在运行，请先关闭该应用，然后再进行删除操作.");
  EXPECT_TRUE(fs::exists(Program("Modules/RebarWeight/RebarWeight")));
  running.Stop();
  home->OnHomeAppClick("btnHomeAppBtn_0", {mark.left, mark.top});
  EXPECT_FALSE(fs::exists(Program("Modules/RebarWeight")));
  EXPECT_EQ(home->Store().CountAppButtons(), 0);
  EXPECT_EQ(Grid().GetCount(), 0);
}

TEST_F(AppCenterServiceTest, AWindowTooNarrowForOneColumnShowsNoPage) {
  AppButtonEntry entry;
  entry.appName = u"A";
  entry.text = u"A";
  entry.exeFileName = u"A/a";
  entry.imageFileName = u"A/i.png";
  home->Store().AddAppButton(entry);
  home->RefreshHomeApps(false);
  EXPECT_EQ(Grid().GetCount(), 1);
  EXPECT_EQ(home->PageCount(), 1);
  host.OwnerWindow().ResizeClient(380, 900);
  home->RefreshHomeApps(false);
  EXPECT_EQ(home->Columns(), 0);
  EXPECT_EQ(home->PageSize(), 0);
  EXPECT_EQ(Grid().GetCount(), 0);
  // The home pager keeps Prev and Next, both disabled, with no page.
  EXPECT_TRUE(Pm().FindControl("ouHomApp_Prev")->IsVisible());
  EXPECT_FALSE(Pm().FindControl("ouHomApp_Next")->IsEnabled());
  EXPECT_FALSE(Pm().FindControl("ouHomApp_PageIndex_1")->IsVisible());
}

// A file server of packages that must not reach outside Modules.
std::string BadPackagesRoot(const testing_support::TempDir& dir) {
  for (const char* store : {"Knowlege", "App", "UserProfile", "Platform"}) {
    fs::create_directories(dir.file(store));
  }
  dir.write("App/notzip.zip", "this is not an archive");
  dir.write("App/hostile.zip", devservice::BuildZip({{"../../evil.txt", "evil"},
                                                     {"/tmp/abs-evil.txt", "evil"},
                                                     {"Hostile", "#!/bin/sh\n", false, 0755}}));
  dir.write("App/noprog.zip", devservice::BuildZip({{"Version.txt", "1.0\n"}}));
  dir.write("App/dotdot.zip", devservice::BuildZip({{"run", "#!/bin/sh\n", false, 0755}}));
  // Large enough that a transfer is still running when the window thread sees its start.
  dir.write("App/big.zip", devservice::BuildZip({{"Big", "#!/bin/sh\n", false, 0755},
                                                 {"Version.txt", "1.0\n"},
                                                 {"data.bin", std::string(4 << 20, 'x'), true}}));
  return dir.path();
}

class BadPackagesTest : public AppCenterServiceTest {
 protected:
  BadPackagesTest() : AppCenterServiceTest(BadPackagesRoot(served)) {}
  static testing_support::TempDir served;

  void AddItem(const std::u16string& app, const std::u16string& package,
               const std::u16string& iconUrl = {}) {
    AppItemEnvironment environment{ui.context.ResourcePath(), program.path(), &local.lib(), {}};
    auto item = std::make_unique<CAppMarketItemUI>(environment);
    item->SetData(1, app, app + u"工具", u"开发者", u"1.0", u"icon.png", iconUrl, package, app,
                  u"说明", u"");
    item->SetIndex(Apps().GetCount());
    item->LoadIcon(!iconUrl.empty());
    Apps().Add(std::move(item));
  }
};

testing_support::TempDir BadPackagesTest::served;

TEST_F(BadPackagesTest, NothingIsWrittenOutsideModulesAndTheAppsStayNotInstalled) {
  const std::u16string missingIcon = u"http://127.0.0.1:" +
                                     platform::Utf8ToUtf16(std::to_string(local.port())) +
                                     u"/zelk/AppIcons/NoSuchApp.png";
  AddItem(u"NotZip", u"notzip.zip", missingIcon);
  AddItem(u"Hostile", u"hostile.zip");
  AddItem(u"NoProg", u"noprog.zip");
  AddItem(u"..", u"dotdot.zip");
  AddItem(u"a/b", u"../escape.zip");
  EXPECT_EQ(Item(0).FindByName("hluImage")->GetBkImage(), "nopicinfo.png");
  for (int i = 0; i < Apps().GetCount(); ++i) center->OnAppActionClick(i);
  Settle();

  for (int i = 0; i < Apps().GetCount(); ++i) {
    EXPECT_EQ(Item(i).State(), AppMarketItemState::NotInstalled) << i;
  }
  EXPECT_FALSE(fs::exists(program.file("../evil.txt")));
  EXPECT_FALSE(fs::exists("/tmp/abs-evil.txt"));
  for (const auto& file : fs::recursive_directory_iterator(program.path())) {
    const std::string relative = fs::relative(file.path(), program.path()).string();
    EXPECT_TRUE(relative.starts_with("Modules") || relative.starts_with("Downloads") ||
                relative.starts_with("Data") || relative.starts_with("Log"))
        << relative;
    EXPECT_NE(file.path().filename(), "evil.txt") << relative;
  }
  // Every unpacked (or not) package was still removed, and no folder ".." was made.
  EXPECT_FALSE(fs::exists(program.file("Downloads/AppMarket/notzip.zip")));
  EXPECT_FALSE(fs::exists(program.file("Downloads/AppMarket/dotdot.zip")));
  EXPECT_TRUE(center->Downloads().Entries().empty());
}

TEST_F(BadPackagesTest, PressingTheButtonOfARunningDownloadStopsItAndAgainStartsItAnew) {
  AddItem(u"Big", u"big.zip");
  bool pressedAgain = false;
  host.SetMessageHandler([this, &pressedAgain](std::uint32_t message, platform::Payload& payload) {
    appcenter_testing::RouteToAppCenter(*center, *home, Pm(), message, payload);
    // The user presses "取消" as soon as the transfer shows that it started; the stop handles
    // the transfer's end (which drops the entry) while it waits.
    if (message == core::WM_DOWNLOAD_STARTED && !pressedAgain) {
      const auto* started = payload.get<knowledge::DownloadStarted>();
      if (started != nullptr && started->FileName == u"big.zip") {
        pressedAgain = true;
        EXPECT_EQ(Item(0).State(), AppMarketItemState::Downloading);
        center->OnAppActionClick(0);
      }
    }
  });
  center->OnAppActionClick(0);
  Settle();
  ASSERT_TRUE(pressedAgain);
  EXPECT_TRUE(center->Downloads().Entries().empty());
  EXPECT_EQ(Item(0).State(), AppMarketItemState::NotInstalled);
  EXPECT_FALSE(fs::exists(program.file("Modules/Big/Big")));

  center->OnAppActionClick(0);
  Settle();
  EXPECT_EQ(Item(0).State(), AppMarketItemState::Installed);
  EXPECT_TRUE(fs::is_regular_file(program.file("Modules/Big/Big")));
  EXPECT_FALSE(fs::exists(program.file("Downloads/AppMarket/big.zip")));
}

}  // namespace
}  // namespace appcenter
