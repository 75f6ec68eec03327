// The app center's pure pieces: the framework requirement, the Version.txt rules, the progress
// texts, the home grid's arithmetic, paths built from names the service or the store gave, and
// the home button store's file.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "appcenter/app_button_store.h"
#include "appcenter/app_button_ui.h"
#include "appcenter/app_market_item_data.h"
#include "appcenter/app_market_item_state.h"
#include "appcenter/app_progress_text.h"
#include "appcenter/dot_net_version.h"
#include "appcenter/home_grid.h"
#include "appcenter/version_file.h"
#include "platform/code_page.h"
#include "support/temp_dir.h"

namespace appcenter {
namespace {

int Yes() {
  return 1;
}
int No() {
  return 0;
}

// A support library that has exactly the given frameworks.
core::ZelkLibBinding WithFrameworks(std::set<std::string> installed) {
  return core::ZelkLibBinding([installed](const char* name) -> void* {
    const std::string export_name(name);
    if (!export_name.starts_with("HasInstallDotNetFramework")) return nullptr;
    return reinterpret_cast<void*>(installed.contains(export_name.substr(25)) ? &Yes : &No);
  });
}

TEST(DotNetVersionTest, TextsCodesAndWhatIsInstalled) {
  EXPECT_EQ(DotNetVersionFromText(u"4.0"), 40);
  EXPECT_EQ(DotNetVersionFromText(u".Net Framework 4.0"), 40);
  EXPECT_EQ(DotNetVersionFromText(u"4.5 or 3.5"), 45);
  EXPECT_EQ(DotNetVersionFromText(u""), 0);
  EXPECT_EQ(DotNetVersionName(35), u".Net Framework 3.5");
  EXPECT_EQ(DotNetVersionName(0), u"");

  // 4.0 is satisfied by 4.5; 3.5 by nothing older; no requirement needs nothing.
  EXPECT_FALSE(NeedsDotNetFramework(40, WithFrameworks({"V45"})));
  EXPECT_TRUE(NeedsDotNetFramework(35, WithFrameworks({"V30", "V20"})));
  EXPECT_FALSE(NeedsDotNetFramework(35, WithFrameworks({"V35"})));
  EXPECT_FALSE(NeedsDotNetFramework(0, WithFrameworks({})));
  EXPECT_FALSE(NeedsDotNetFramework(41, WithFrameworks({})));
  EXPECT_TRUE(NeedsDotNetFramework(40, core::ZelkLibBinding()));

  EXPECT_TRUE(FrameworkDownloadPage(45).ends_with(u"/zh-cn/download/details.aspx?id=30653"));
  EXPECT_TRUE(FrameworkDownloadPage(20).ends_with(u"/zh-cn/download/details.aspx?id=17718"));
}

TEST(AppMarketItemStateTest, ButtonStripsAndTexts) {
  const StateButtonLook cancel = CatalogueButtonLook(AppMarketItemState::Downloading);
  EXPECT_EQ(cancel.text, u"取消");
  EXPECT_EQ(cancel.hotImage, "file='button/cancel.png' source='60,0,120,26'");
  const StateButtonLook open = CatalogueButtonLook(AppMarketItemState::Installed);
  EXPECT_EQ(open.pushedImage, "file='button/open.png' source='120,0,180,23'");
  EXPECT_EQ(ManagerButtonLook(AppMarketItemState::Upgradable).text, u"立即升级");
  EXPECT_EQ(ManagerButtonLook(AppMarketItemState::NotInstalled).normalImage,
            "file='button/install.png' source='0,0,60,23'");
}

class VersionFileTest : public ::testing::Test {
 protected:
  InstalledVersion Read(const std::string& content) {
    dir.write("Version.txt", content);
    return ReadVersionFile(dir.file("Version.txt"));
  }
  testing_support::TempDir dir;
};

TEST_F(VersionFileTest, LinesFlagsAndTheServicesVersion) {
  EXPECT_FALSE(ReadVersionFile(dir.file("missing.txt")).IsUpToDate(u"1.0"));
  EXPECT_TRUE(ReadVersionFile(dir.file("missing.txt")).NeedsUpgradeMark());
  EXPECT_TRUE(Read("1.2.0").IsUpToDate(u"1.2.0"));
  // A line feed at the end starts no further line.
  EXPECT_TRUE(Read("1.2.0\n").IsUpToDate(u"1.2.0"));
  EXPECT_FALSE(Read("").IsUpToDate(u"1.2.0"));
  EXPECT_FALSE(Read("True\n1.2.0\n").IsUpToDate(u"1.2.0"));
  EXPECT_TRUE(Read("True\n1.2.0\n").NeedsUpgradeMark());
  EXPECT_TRUE(Read("0\n1.2.0\n").IsUpToDate(u"1.2.0"));
  EXPECT_FALSE(Read("1.1.0\n").IsUpToDate(u"1.2.0"));
  // Only the line feed is removed: a copy written with CRLF reads as another version.
  EXPECT_FALSE(Read("1.2.0\r\n").IsUpToDate(u"1.2.0"));
  EXPECT_EQ(Read("1\r\n1.2.0\r\n").Version(), u"1.2.0\r");
}

TEST_F(VersionFileTest, AHugeFileIsReadOnlyForItsFirstLines) {
  // 10 MB without a line feed: read as chunks of 1023 bytes, of which two are kept.
  const InstalledVersion huge = Read(std::string(10 * 1024 * 1024, '7'));
  ASSERT_EQ(huge.lines.size(), 2u);
  EXPECT_EQ(huge.lines[0].size(), 1023u);
  EXPECT_FALSE(huge.IsUpToDate(u"7"));
}

TEST_F(VersionFileTest, TheUpgradeMarkKeepsTheInstalledVersion) {
  ASSERT_TRUE(WriteUpgradeMark(dir.file("Version.txt"), u"1.2.0"));
  EXPECT_EQ(dir.read("Version.txt"), "1\n1.2.0\n");
  const InstalledVersion marked = ReadVersionFile(dir.file("Version.txt"));
  EXPECT_TRUE(marked.UpgradeFlag());
  EXPECT_EQ(marked.Version(), u"1.2.0");
}

TEST(AppProgressTextTest, SizeSpeedAndPercent) {
  const AppProgressUpdate item = ItemProgress(5242880, 1048576, 786432);
  EXPECT_EQ(item.progressValue, 20);
  EXPECT_EQ(item.text, u"5.00M - 2560.00K/S");
  EXPECT_EQ(item.lastDone, 1048576);
  // No new bytes: the text stays, the counter moves.
  const AppProgressUpdate same = ItemProgress(5242880, 1048576, 1048576);
  EXPECT_FALSE(same.text.has_value());
  // The reset of a start: nothing shown.
  const AppProgressUpdate reset = ItemProgress(100, 0, 4096);
  EXPECT_FALSE(reset.progressValue.has_value());
  EXPECT_EQ(reset.lastDone, 0);
  EXPECT_EQ(ManagerProgress(2097152, 3145728, 0).text, u"大小:2.00M - 进度:100.00%");
  EXPECT_EQ(ManagerProgress(0, 0, 0).progressValue, std::nullopt);
}

TEST(HomeGridTest, ColumnsPagesAndWindowsWithoutRoom) {
  // 1200 × 900 with the right column of 300 and bars of 160: 9 columns, 7 rows.
  HomeGrid grid = ComputeHomeGrid({1200, 900, 300, 160, 70, false});
  EXPECT_EQ(grid.columns, 9);
  EXPECT_EQ(grid.rows, 7);
  EXPECT_EQ(grid.pageSize, 63);
  EXPECT_EQ(grid.pageCount, 2);
  EXPECT_EQ(ComputeHomeGrid({1200, 900, 300, 160, 70, true}).pageCount, 1);
  // Too narrow for one column, and edit mode without buttons: no page, no division by zero.
  grid = ComputeHomeGrid({390, 900, 300, 160, 5, false});
  EXPECT_EQ(grid.columns, 0);
  EXPECT_EQ(grid.pageSize, 0);
  EXPECT_EQ(grid.pageCount, 0);
  EXPECT_EQ(ComputeHomeGrid({1200, 900, 300, 160, 0, true}).pageCount, 0);
  const HomePage none = ComputeHomePage(2, 0, 5);
  EXPECT_LT(none.last, none.first);

  // Page 0 is page 1; a page past the end becomes the last page.
  EXPECT_EQ(ComputeHomePage(0, 10, 25).pageIndex, 1);
  const HomePage past = ComputeHomePage(5, 10, 25);
  EXPECT_EQ(past.pageIndex, 3);
  EXPECT_EQ(past.first, 20);
  EXPECT_EQ(past.last, 24);
  EXPECT_EQ(ComputeHomePage(3, 10, 20).pageIndex, 2);
  EXPECT_EQ(HomePagerSpacerWidth(1200, 64, 300, 4), (1200 - 64 - 300 - 1 - 120) / 2);
  EXPECT_EQ(HomePagerSpacerWidth(300, 64, 300, 4), 0);
}

TEST(AppNamesTest, NamesFromOutsideStayInsideModules) {
  AppMarketItemData data;
  data.appName = u"..";
  data.exeName = u"run";
  EXPECT_TRUE(PathsOf("/p", data).program.empty());
  data.appName = u"a/../../b";
  data.exeName = u"../x";
  const AppPaths slashed = PathsOf("/p", data);
  EXPECT_EQ(slashed.folder, "/p/Modules/a_.._.._b");
  EXPECT_EQ(slashed.program, "/p/Modules/a_.._.._b/.._x");
  EXPECT_EQ(PathBelowModules("/p/Modules", u"App\\run"), "/p/Modules/App/run");
  EXPECT_EQ(PathBelowModules("/p/Modules", u"../../etc/passwd"), "");
  EXPECT_EQ(PathBelowModules("/p/Modules", u"App/"), "");

  const std::u16string remark = u"ABC  Def" + std::u16string(200, u'x');
  const std::u16string description = AppDescription(remark);
  EXPECT_EQ(description.size(), 120u);
  EXPECT_TRUE(description.starts_with(u"abc"));
}

class AppButtonStoreTest : public ::testing::Test {
 protected:
  AppButtonStoreTest() { platform::SetAnsiCodesetOverride("UTF-8"); }
  ~AppButtonStoreTest() override { platform::SetAnsiCodesetOverride(""); }

  static AppButtonEntry Entry(const std::u16string& app) {
    AppButtonEntry entry;
    entry.appName = app;
    entry.text = u"显示" + app;
    entry.description = u"说明  " + app;
    entry.exeFileName = app + u"/" + app;
    entry.imageFileName = app + u"/icon.png";
    entry.netFrameworkVersionName = u".Net Framework 4.0";
    return entry;
  }

  testing_support::TempDir dir;
  std::vector<std::u16string> log;
  AppButtonStore store{dir.file("Data/AppButtonView.xml"), dir.file("Modules"),
                       [this](const std::u16string& line) { log.push_back(line); }};
};

TEST_F(AppButtonStoreTest, DefaultsAddUpdateRenumberAndRemove) {
  // Without the file nothing is added.
  store.AddAppButton(Entry(u"A"));
  EXPECT_FALSE(store.Exists());
  store.EnsureStoreFile();
  const std::string fresh = dir.read("Data/AppButtonView.xml");
  EXPECT_NE(fresh.find("<ButtonWidth>80</ButtonWidth>"), std::string::npos);
  EXPECT_NE(fresh.find("<HasCustomByUser>false</HasCustomByUser>"), std::string::npos);
  EXPECT_EQ(store.CountAppButtons(), 0);

  store.AddAppButton(Entry(u"A"));
  store.AddAppButton(Entry(u"B"));
  AppButtonEntry again = Entry(u"A");
  again.text = u"新名字";
  again.exeFileName = u"A\\A";  // the same program written the other way
  store.AddAppButton(again);
  const auto loaded = store.Load();
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].entry.text, u"新名字");
  EXPECT_EQ(loaded[0].entry.description, u"说明  A");
  EXPECT_EQ(loaded[1].position, 1);
  const std::string text = dir.read("Data/AppButtonView.xml");
  EXPECT_NE(text.find("<Index>1</Index>"), std::string::npos);
  // The update replaced the requirement instead of adding a second element.
  std::size_t requirements = 0;
  for (std::size_t at = text.find("<NetFrameworkVersion>"); at != std::string::npos;
       at = text.find("<NetFrameworkVersion>", at + 1)) {
    ++requirements;
  }
  EXPECT_EQ(requirements, 2u);

  store.RemoveAppButton(u"B/B");
  ASSERT_EQ(store.CountAppButtons(), 1);
  EXPECT_EQ(store.Load()[0].entry.appName, u"A");
}

TEST_F(AppButtonStoreTest, MissingChildrenTakeTheirDefaultsOrDropTheEntry) {
  dir.write("Data/AppButtonView.xml",
            "<?xml version=\"1.0\" ?><LibAppButtonViewConfig><AppButtons>"
            "<LibAppButtonItem><Text>T</Text><Description>D</Description>"
            "<ExeFileName>Folder/run</ExeFileName><ImageFileName>Folder/i.png</ImageFileName>"
            "</LibAppButtonItem>"
            "<LibAppButtonItem><Text>no program</Text></LibAppButtonItem>"
            "<LibAppButtonItem><Text>U</Text><Description/><ExeFileName>U/u</ExeFileName>"
            "<ImageFileName/><CanUpgrade>True</CanUpgrade></LibAppButtonItem>"
            "</AppButtons></LibAppButtonViewConfig>");
  const auto loaded = store.Load();
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].entry.appName, u"Folder");
  EXPECT_FALSE(loaded[0].entry.canUpgrade);
  EXPECT_EQ(loaded[0].entry.netFrameworkVersionName, u".Net Framework 4.0");
  EXPECT_EQ(loaded[1].position, 2);
  EXPECT_TRUE(loaded[1].entry.canUpgrade);
  EXPECT_EQ(store.CountAppButtons(), 3);
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(AppButtonStoreTest, ABrokenFileIsSetAsideWhenAnAppArrives) {
  dir.write("Data/AppButtonView.xml", "<LibAppButtonViewConfig><AppButtons><Lib");
  EXPECT_TRUE(store.Load().empty());
  EXPECT_EQ(store.CountAppButtons(), 0);
  store.AddAppButton(Entry(u"A"));
  EXPECT_EQ(store.CountAppButtons(), 1);
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("Data/AppButtonView.xml.bad")));

  // A file without AppButtons gets them with the first app.
  dir.write("Data/AppButtonView.xml", "<?xml version=\"1.0\" ?><LibAppButtonViewConfig/>");
  EXPECT_EQ(store.CountAppButtons(), 0);
  store.AddAppButton(Entry(u"B"));
  EXPECT_EQ(store.CountAppButtons(), 1);
}

}  // namespace
}  // namespace appcenter
