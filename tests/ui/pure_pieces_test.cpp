// The small pure pieces of the main frame: quick-bar pages, Enter chains, the option pairs, the
// centring of the account areas, the empty-list pictures and the stored skin.
#include <gtest/gtest.h>

#include "ui/empty_list_image.h"
#include "ui/enter_focus_chain.h"
#include "ui/login_option_pair.h"
#include "ui/quick_bar_pages.h"
#include "ui/stored_skin.h"

namespace ui {
namespace {

TEST(QuickBarPagesTest, EachOptionSelectsItsPageWhateverTheLetterCase) {
  EXPECT_EQ(DesktopPageOfQuickBar("quickBar_Home"), 0);
  EXPECT_EQ(DesktopPageOfQuickBar("quickBar_Knowlege"), 1);
  EXPECT_EQ(DesktopPageOfQuickBar("quickBar_AppMarket"), 2);
  EXPECT_EQ(DesktopPageOfQuickBar("quickBar_FAQ"), 3);
  EXPECT_EQ(DesktopPageOfQuickBar("quickBar_ProjectTemplate"), 4);
  EXPECT_EQ(DesktopPageOfQuickBar("quickBar_Video"), 5);
  EXPECT_EQ(DesktopPageOfQuickBar("quickBar_Game"), 6);
  EXPECT_EQ(DesktopPageOfQuickBar("quickBar_Navigate"), 7);
  EXPECT_EQ(DesktopPageOfQuickBar("quickBar_ShareEachDay"), 8);
  EXPECT_EQ(DesktopPageOfQuickBar("quickBar_Cooperation"), 9);
  EXPECT_EQ(DesktopPageOfQuickBar("QUICKBAR_appmarket"), 2);
  EXPECT_EQ(DesktopPageOfQuickBar("QuickBar_faq"), 3);
}

TEST(QuickBarPagesTest, OtherNamesSelectNothing) {
  EXPECT_EQ(DesktopPageOfQuickBar("quickBar_"), std::nullopt);
  EXPECT_EQ(DesktopPageOfQuickBar("quickBar_Homepage"), std::nullopt);
  EXPECT_EQ(DesktopPageOfQuickBar("knowlege_quickBar_Search"), std::nullopt);
  EXPECT_EQ(DesktopPageOfQuickBar("app_market_category_buttons_3"), std::nullopt);
}

TEST(QuickBarPagesTest, KnowlegeSearchReturnsToTheResultsOnceShown) {
  EXPECT_EQ(KnowlegeDesktopPageOfQuickBar("knowlege_quickBar_Search", false), 0);
  EXPECT_EQ(KnowlegeDesktopPageOfQuickBar("knowlege_quickBar_Search", true), 1);
  EXPECT_EQ(KnowlegeDesktopPageOfQuickBar("knowlege_quickBar_downloding", true), 2);
  EXPECT_EQ(KnowlegeDesktopPageOfQuickBar("knowlege_quickBar__downloded", false), 3);
  EXPECT_EQ(KnowlegeDesktopPageOfQuickBar("knowlege_quickBar_downloded", false), std::nullopt);
  EXPECT_EQ(KnowlegeDesktopPageOfQuickBar("quickBar_Knowlege", false), std::nullopt);
}

TEST(EnterFocusChainTest, LoginAreaFieldsFollowEachOther) {
  EXPECT_EQ(NextInEnterChain("txtLoginIdForLogin"), "txtLoginPwdForLogin");
  EXPECT_EQ(NextInEnterChain("txtLoginPwdForLogin"), "opRememberPwdForLogin");
  EXPECT_EQ(NextInEnterChain("opRememberPwdForLogin"), "opAutoLoginForLogin");
  EXPECT_EQ(NextInEnterChain("opAutoLoginForLogin"), "btnLoginForLogin");
  EXPECT_EQ(NextInEnterChain("btnLoginForLogin"), "");
}

TEST(EnterFocusChainTest, RegisterAreaFieldsFollowEachOther) {
  EXPECT_EQ(NextInEnterChain("txtUserIdForRegister"), "btnGetSMSCodeForRegister");
  EXPECT_EQ(NextInEnterChain("btnGetSMSCodeForRegister"), "txtSMSCodeForRegister");
  EXPECT_EQ(NextInEnterChain("txtSMSCodeForRegister"), "txtPasswordForRegister");
  EXPECT_EQ(NextInEnterChain("txtPasswordForRegister"), "txtRepeatPasswordForRegister");
  EXPECT_EQ(NextInEnterChain("txtRepeatPasswordForRegister"), "opRememberPwdForRegister");
  EXPECT_EQ(NextInEnterChain("opRememberPwdForRegister"), "opAutoLoginForRegister");
  EXPECT_EQ(NextInEnterChain("opAutoLoginForRegister"), "btnRegisterForRegister");
  EXPECT_EQ(NextInEnterChain("btnRegisterForRegister"), "");
  EXPECT_EQ(NextInEnterChain("txtOldPasswordForChangePassword"), "");
}

TEST(PairedOptionRuleTest, AutomaticLoginNeedsARememberedPassword) {
  const auto untickRemember = PairedOptionRule("opRememberPwdForLogin", false);
  ASSERT_TRUE(untickRemember.has_value());
  EXPECT_EQ(untickRemember->option, "opAutoLoginForLogin");
  EXPECT_FALSE(untickRemember->selected);
  const auto tickAuto = PairedOptionRule("opAutoLoginForRegister", true);
  ASSERT_TRUE(tickAuto.has_value());
  EXPECT_EQ(tickAuto->option, "opRememberPwdForRegister");
  EXPECT_TRUE(tickAuto->selected);
}

TEST(PairedOptionRuleTest, TheOtherChangesLeaveThePartnerAlone) {
  EXPECT_FALSE(PairedOptionRule("opRememberPwdForLogin", true).has_value());
  EXPECT_FALSE(PairedOptionRule("opAutoLoginForLogin", false).has_value());
  EXPECT_FALSE(PairedOptionRule("opRememberPwdForRegister", true).has_value());
  EXPECT_FALSE(PairedOptionRule("quickBar_Home", true).has_value());
}

TEST(EmptyListImageTest, NetworkFailureComesFirst) {
  EXPECT_EQ(EmptyListImage("lstAppMarketList", true, false), "net_error.png");
  EXPECT_EQ(EmptyListImage("lstLastestNews", true, true), "net_error.png");
}

TEST(EmptyListImageTest, SearchesThatFoundNothingSaySo) {
  EXPECT_EQ(EmptyListImage("lstAppMarketList", false, false), "nosearchapp.png");
  EXPECT_EQ(EmptyListImage("lstKnowlegeSearchResult", false, false), "nosearchfiles.png");
  EXPECT_EQ(EmptyListImage("lstAppMarketList", false, true), "nodatainfo.png");
  EXPECT_EQ(EmptyListImage("lstKnowlegeSearchResult", false, true), "nodatainfo.png");
  // Lists without a search box have nothing to have searched for.
  EXPECT_EQ(EmptyListImage("lstLastestNews", false, false), "nodatainfo.png");
}

TEST(EmptyListImageTest, PicturesShrinkToFitSmallListsKeepingTheirShape) {
  EXPECT_EQ(EmptyListImageSize("net_error.png"), (skinui::Size{173, 130}));
  EXPECT_EQ(EmptyListImageSize("nodatainfo.png"), (skinui::Size{300, 300}));
  EXPECT_EQ(FitEmptyListImage({300, 300}, {1000, 600}), (skinui::Size{300, 300}));
  // A news list of 278 × 200: the picture fits its height less the margins.
  EXPECT_EQ(FitEmptyListImage({300, 300}, {278, 200}), (skinui::Size{152, 152}));
  EXPECT_EQ(FitEmptyListImage({173, 130}, {120, 400}), (skinui::Size{72, 54}));
  EXPECT_EQ(FitEmptyListImage({300, 300}, {10, 10}), (skinui::Size{0, 0}));
}

TEST(StoredSkinTest, AColourChoiceIsStoredAsColourModeAndComesBack) {
  const SkinChangedParam choice{true, 0xFFD9534F, {}};
  const StoredSkinValues stored = StoredValuesOf(choice);
  EXPECT_FALSE(stored.imageMode);
  EXPECT_EQ(stored.colour, 0xFFD9534Fu);
  const auto look = LookOfStoredSkin(stored);
  ASSERT_TRUE(look.has_value());
  EXPECT_TRUE(look->colorMode);
  EXPECT_EQ(look->color, 0xFFD9534Fu);
}

TEST(StoredSkinTest, AnImageChoiceIsStoredAsImageModeAndComesBack) {
  const SkinChangedParam choice{false, 0, "skin/bg03.png"};
  const StoredSkinValues stored = StoredValuesOf(choice);
  EXPECT_TRUE(stored.imageMode);
  const auto look = LookOfStoredSkin(stored);
  ASSERT_TRUE(look.has_value());
  EXPECT_FALSE(look->colorMode);
  EXPECT_EQ(look->image, "skin/bg03.png");
}

TEST(StoredSkinTest, NothingStoredLeavesTheLayoutsLook) {
  // What the library answers before any skin was saved: colour mode, colour 0, no image.
  EXPECT_FALSE(LookOfStoredSkin({false, 0, {}}).has_value());
  EXPECT_FALSE(LookOfStoredSkin({true, 0xFF123456, {}}).has_value());
  EXPECT_FALSE(LookOfStoredSkin({false, 0x00FFFFFF, {}}).has_value());
}

TEST(StoredSkinTest, AChoiceGivesRootOnlyItsOwnKind) {
  const skinui::SkinLook colour = LookOf({true, 0xFF2B7BD6, "skin/bg01.png"});
  EXPECT_TRUE(colour.colorMode);
  EXPECT_TRUE(colour.image.empty());
  const skinui::SkinLook image = LookOf({false, 0xFF2B7BD6, "skin/bg01.png"});
  EXPECT_EQ(image.color, 0u);
  EXPECT_EQ(image.image, "skin/bg01.png");
}

}  // namespace
}  // namespace ui
