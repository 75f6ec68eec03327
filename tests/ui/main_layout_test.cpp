// The shipped layouts of the main window and the skin window provide every control the frame
// and its features look up, with the class they are used as, once each, on the right pages.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "frame_test_support.h"
#include "skinui/builder.h"
#include "skinui/button.h"
#include "skinui/combo.h"
#include "skinui/edit.h"
#include "skinui/list.h"
#include "skinui/option.h"
#include "skinui/paint_manager.h"
#include "skinui/tab_layout.h"
#include "skinui/tile_layout.h"
#include "skinui/web_browser.h"

namespace ui_testing {
namespace {

using namespace skinui;

class LayoutTest : public ::testing::Test {
 protected:
  void Load(const std::string& file) {
    BuildOptions options;
    options.resourceDir = StagedSkin();
    options.manager = &pm_;
    options.log = [this](const std::string& line) { warnings_.push_back(line); };
    pm_.AttachDialog(Builder(options).Create(file));
  }

  // The page of a tab layout that holds a control.
  int PageOf(const std::string& tab, const std::string& name) {
    Control* control = pm_.FindControl(name);
    if (control == nullptr) return -2;
    for (Control* child = control; child->GetParent() != nullptr; child = child->GetParent()) {
      if (child->GetParent()->GetName() == tab) return child->GetParent()->GetItemIndex(child);
    }
    return -1;
  }

  static void Count(Control* control, std::map<std::string, int>& names) {
    if (!control->GetName().empty()) ++names[control->GetName()];
    if (auto* container = dynamic_cast<Container*>(control)) {
      for (int i = 0; i < container->GetCount(); ++i) Count(container->GetItemAt(i), names);
    }
  }

  PaintManager pm_;
  std::vector<std::string> warnings_;
};

std::vector<std::string> Pager(const std::string& prefix) {
  std::vector<std::string> names = {prefix + "Prev", prefix + "Next"};
  for (int k = 1; k <= 10; ++k) names.push_back(prefix + "PageIndex_" + std::to_string(k));
  return names;
}

TEST_F(LayoutTest, TheMainLayoutBuildsWithEveryPicture) {
  Load("main_frame.xml");
  EXPECT_TRUE(warnings_.empty()) << warnings_.front();
  EXPECT_EQ(pm_.GetInitSize().cx, 1200);
  EXPECT_EQ(pm_.GetInitSize().cy, 900);
  EXPECT_GT(pm_.GetCaptionRect().bottom, 0);
  EXPECT_GT(pm_.GetSizeBox().left, 0);
}

TEST_F(LayoutTest, EveryNameTheFeaturesUseExistsWithItsClass) {
  Load("main_frame.xml");
  const std::vector<std::string> buttons = {"closebtn",
                                            "maxbtn",
                                            "restorebtn",
                                            "minbtn",
                                            "skinbtn",
                                            "menubtn",
                                            "feedbackbtn",
                                            "webhomebtn",
                                            "helpbtn",
                                            "btnHomeAppEdit",
                                            "btnLogin",
                                            "btnRegister",
                                            "btnUserImageForUserCenter",
                                            "btnMenuForUserCenter",
                                            "btnUserMessage",
                                            "btnSeeMoreNews",
                                            "btnShareTo_ShareToAll_For_HomeRight",
                                            "btnShareTo_ShareToQQZone_For_HomeRight",
                                            "btnShareTo_ShareToQQWeiBo_For_HomeRight",
                                            "btnShareTo_ShareToSina_For_HomeRight",
                                            "btnShareTo_ShareToBaidu_For_HomeRight",
                                            "btnOpenDownloadDir",
                                            "btnKnowlegeSearchSearch",
                                            "btnKnowlegeSearchHelpForKeyword",
                                            "btnKnowlegeSearchHelpForUrl",
                                            "btnKnowlegeSearchHelpForDownload",
                                            "btnKnowlegeSearchResultSearch",
                                            "btnKnowlegeSearchResultGoBack",
                                            "btnAppMarketSearch",
                                            "btnAppMarketDownloadMng",
                                            "btnShowContactFrame",
                                            "btnOpenCustomerServiceQQ",
                                            "btnLoginForLogin",
                                            "btnCancelForLogin",
                                            "btnForgetPasswordForLogin",
                                            "btnRegisterForLogin",
                                            "btnRegisterExForLogin",
                                            "btnGetSMSCodeForRegister",
                                            "btnRegisterForRegister",
                                            "btnCancelForRegister",
                                            "btnLoginForRegister",
                                            "btnChangePassword",
                                            "btnCancelForChangePassword"};
  for (const std::string& name : buttons) EXPECT_NE(pm_.TryFind<Button>(name), nullptr) << name;
  for (const char* prefix : {"ouHomApp_", "ouKnowlege_", "ouAppMarket_"}) {
    for (const std::string& name : Pager(prefix)) {
      EXPECT_NE(pm_.TryFind<Button>(name), nullptr) << name;
    }
    EXPECT_NE(pm_.TryFind<Option>(std::string(prefix) + "PageIndex_1"), nullptr) << prefix;
  }
  for (const char* name :
       {"quickBar_Home", "quickBar_Knowlege", "quickBar_AppMarket", "quickBar_FAQ",
        "quickBar_ProjectTemplate", "quickBar_Video", "quickBar_Game", "quickBar_Navigate",
        "quickBar_ShareEachDay", "quickBar_Cooperation", "knowlege_quickBar_Search",
        "knowlege_quickBar_downloding", "knowlege_quickBar__downloded", "opRememberPwdForLogin",
        "opAutoLoginForLogin", "opRememberPwdForRegister", "opAutoLoginForRegister"}) {
    EXPECT_NE(pm_.TryFind<Option>(name), nullptr) << name;
  }
  for (const char* name :
       {"txtKnowlegeSearchKeyword", "txtKnowlegeSearchResultKeyword", "txtAppMarketSearchEdit",
        "txtLoginIdForLogin", "txtUserIdForRegister", "txtSMSCodeForRegister"}) {
    EXPECT_NE(pm_.TryFind<Edit>(name), nullptr) << name;
  }
  for (const char* name :
       {"txtLoginPwdForLogin", "txtPasswordForRegister", "txtRepeatPasswordForRegister",
        "txtOldPasswordForChangePassword", "txtNewPasswordForChangePassword",
        "txtRepeatNewPasswordForChangePassword"}) {
    auto* edit = pm_.TryFind<Edit>(name);
    ASSERT_NE(edit, nullptr) << name;
    EXPECT_TRUE(edit->IsPasswordMode()) << name;
  }
  for (const char* name : {"cmbKnowlegeSearchType", "cmbKnowlegeSearchResultSearchType"}) {
    EXPECT_NE(pm_.TryFind<Combo>(name), nullptr) << name;
  }
  for (const char* name : {"lstLastestNews", "lstKnowlegeSearchResult", "lstKnowlegeDownloading",
                           "lstKnowlegeDownloaded", "lstAppMarketList"}) {
    EXPECT_NE(pm_.TryFind<List>(name), nullptr) << name;
  }
  for (const char* name :
       {"tluDesktop", "tluKnowlege_Desktop", "tluHome_Right_UserCenterDesktop", "tluAd_Desktop"}) {
    EXPECT_NE(pm_.TryFind<TabLayout>(name), nullptr) << name;
  }
  EXPECT_NE(pm_.TryFind<TileLayout>("tluHomeAppButtons"), nullptr);
  for (const char* name : {"Root",
                           "appBar",
                           "MainToolBar",
                           "tluHomeAppButtonsTitleBar",
                           "vluMainFrame",
                           "vluLoginFrame",
                           "vluRegisterFrame",
                           "vluChangePasswordFrame",
                           "vluHome_RightClient",
                           "vluAppMarketCategory",
                           "vluUserImageForUserCenter",
                           "MainToolBarAreaForLogin",
                           "MainToolBarAreaForChangePassword",
                           "vluLoginArea",
                           "vluRegisterArea",
                           "vluChangePasswordArea",
                           "hluLoginClientTop",
                           "hluLoginClientLeft",
                           "hluRegisterClientTop",
                           "hluRegisterClientLeft",
                           "hluChangePasswordClientTop",
                           "hluChangePasswordClientLeft",
                           "hluNetworkStateImage",
                           "hluHomeAppPageIndexFillArea",
                           "hluKnowlegePageIndexFillArea",
                           "hluAppMarketPageIndexFillArea"}) {
    EXPECT_NE(pm_.TryFind<Container>(name), nullptr) << name;
  }
  for (const char* name : {"lblMainFormCaption", "lblInstallTotalCount", "lblAppTotalCount",
                           "txtUserIdForUserCenter", "txtNickNameForUserCenter"}) {
    EXPECT_NE(pm_.TryFind<Label>(name), nullptr) << name;
  }
}

TEST_F(LayoutTest, EveryNameIsUsedOnce) {
  Load("main_frame.xml");
  std::map<std::string, int> names;
  Count(pm_.GetRoot(), names);
  for (const auto& [name, count] : names) EXPECT_EQ(count, 1) << name;
}

TEST_F(LayoutTest, TheQuickBarOptionsMatchTheDesktopPages) {
  Load("main_frame.xml");
  EXPECT_EQ(pm_.Find<TabLayout>("tluDesktop").GetCount(), 10);
  EXPECT_EQ(PageOf("tluDesktop", "tluHomeAppButtons"), 0);
  EXPECT_EQ(PageOf("tluDesktop", "tluKnowlege_Desktop"), 1);
  EXPECT_EQ(PageOf("tluDesktop", "lstAppMarketList"), 2);
  EXPECT_EQ(PageOf("tluDesktop", "ie_for_faq"), 3);
  EXPECT_EQ(PageOf("tluDesktop", "ie_for_project_template"), 4);
  EXPECT_EQ(PageOf("tluDesktop", "ie_for_video"), 5);
  EXPECT_EQ(PageOf("tluDesktop", "ie_for_game"), 6);
  EXPECT_EQ(PageOf("tluDesktop", "ie_for_navigate"), 7);
  EXPECT_EQ(PageOf("tluDesktop", "ie_for_share_each_day"), 8);
  EXPECT_EQ(PageOf("tluDesktop", "btnShowContactFrame"), 9);
  EXPECT_EQ(PageOf("tluKnowlege_Desktop", "txtKnowlegeSearchKeyword"), 0);
  EXPECT_EQ(PageOf("tluKnowlege_Desktop", "lstKnowlegeSearchResult"), 1);
  EXPECT_EQ(PageOf("tluKnowlege_Desktop", "lstKnowlegeDownloading"), 2);
  EXPECT_EQ(PageOf("tluKnowlege_Desktop", "lstKnowlegeDownloaded"), 3);
  EXPECT_EQ(PageOf("tluHome_Right_UserCenterDesktop", "btnLogin"), 0);
  EXPECT_EQ(PageOf("tluHome_Right_UserCenterDesktop", "btnUserMessage"), 2);
  EXPECT_TRUE(pm_.Find<Option>("quickBar_Home").IsSelected());
}

TEST_F(LayoutTest, EachWebTabHasItsLoadingAndBrowserLayouts) {
  Load("main_frame.xml");
  const std::map<std::string, std::string> tabs = {
      {"FAQ", "ie_for_faq"},           {"ProjectTemplate", "ie_for_project_template"},
      {"Video", "ie_for_video"},       {"Game", "ie_for_game"},
      {"Navigate", "ie_for_navigate"}, {"ShareEachDay", "ie_for_share_each_day"}};
  for (const auto& [part, browser] : tabs) {
    auto* loading = pm_.TryFind<Container>("hluLoadingFor" + part);
    auto* layout = pm_.TryFind<Container>("hluWebBrowserFor" + part);
    auto* control = pm_.TryFind<WebBrowser>(browser);
    ASSERT_TRUE(loading != nullptr && layout != nullptr && control != nullptr) << part;
    EXPECT_EQ(control->GetParent(), layout) << part;
    EXPECT_TRUE(loading->IsVisible()) << part;
    EXPECT_FALSE(layout->IsVisible()) << part;
  }
}

TEST_F(LayoutTest, TheSizesTheArithmeticReadsAreFixed) {
  Load("main_frame.xml");
  for (const char* name : {"appBar", "MainToolBar", "tluHomeAppButtonsTitleBar",
                           "MainToolBarAreaForLogin", "MainToolBarAreaForChangePassword"}) {
    EXPECT_GT(pm_.FindControl(name)->GetFixedHeight(), 0) << name;
  }
  EXPECT_GT(pm_.FindControl("vluHome_RightClient")->GetFixedWidth(), 0);
  EXPECT_GT(pm_.FindControl("btnHomeAppEdit")->GetFixedWidth(), 0);
  for (const char* name : {"vluLoginArea", "vluRegisterArea", "vluChangePasswordArea"}) {
    EXPECT_GT(pm_.FindControl(name)->GetFixedWidth(), 0) << name;
    EXPECT_GT(pm_.FindControl(name)->GetFixedHeight(), 0) << name;
  }
  // The main area shows; the account areas wait hidden.
  EXPECT_TRUE(pm_.FindControl("vluMainFrame")->IsVisible());
  for (const char* name :
       {"vluLoginFrame", "vluRegisterFrame", "vluChangePasswordFrame", "restorebtn"}) {
    EXPECT_FALSE(pm_.FindControl(name)->IsVisible()) << name;
  }
}

TEST_F(LayoutTest, TheSkinWindowOffersEightPicturesAndTwelveColours) {
  Load("skin.xml");
  EXPECT_TRUE(warnings_.empty()) << warnings_.front();
  auto& tab = pm_.Find<TabLayout>("skin_tab");
  ASSERT_EQ(tab.GetCount(), 2);
  EXPECT_NE(pm_.TryFind<Option>("skin_image"), nullptr);
  EXPECT_NE(pm_.TryFind<Option>("skin_color"), nullptr);

  std::set<std::string> images;
  auto* pictures = dynamic_cast<Container*>(tab.GetItemAt(0));
  ASSERT_NE(pictures, nullptr);
  for (int i = 0; i < pictures->GetCount(); ++i) {
    Control* button = pictures->GetItemAt(i);
    EXPECT_EQ(button->GetName(), "skin_image_btn");
    EXPECT_TRUE(std::filesystem::exists(StagedSkin() + "/" + button->GetBkImage()))
        << button->GetBkImage();
    images.insert(button->GetBkImage());
  }
  EXPECT_GE(images.size(), 8u);

  std::set<std::uint32_t> colours;
  auto* swatches = dynamic_cast<Container*>(tab.GetItemAt(1));
  ASSERT_NE(swatches, nullptr);
  for (int i = 0; i < swatches->GetCount(); ++i) {
    Control* button = swatches->GetItemAt(i);
    EXPECT_EQ(button->GetName(), "skin_color_btn");
    // Opaque: the stored skin takes a transparent colour for "nothing chosen".
    EXPECT_EQ(button->GetBkColor() >> 24, 0xFFu);
    colours.insert(button->GetBkColor());
  }
  EXPECT_GE(colours.size(), 12u);
}

}  // namespace
}  // namespace ui_testing
