#include "ui/click_dispatcher.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(ClickDispatcherTest, ExactNamesAreMatchedWithoutRegardToCase) {
  EXPECT_EQ(ClassifyFeatureClick("btnKnowlegeSearchSearch"), FeatureClick::KnowlegeSearch);
  EXPECT_EQ(ClassifyFeatureClick("BTNKNOWLEGESEARCHRESULTSEARCH"), FeatureClick::KnowlegeSearch);
  EXPECT_EQ(ClassifyFeatureClick("btnknowlegesearchresultgoback"),
            FeatureClick::KnowlegeSearchGoBack);
  EXPECT_EQ(ClassifyFeatureClick("HelpBtn"), FeatureClick::Help);
  EXPECT_EQ(ClassifyFeatureClick("btnUserMessage"), FeatureClick::UserMessage);
}

TEST(ClickDispatcherTest, ExactRowsDoNotMatchLongerNames) {
  // "btnLogin" shows the login area; the login area's own button logs in.
  EXPECT_EQ(ClassifyFeatureClick("btnLogin"), FeatureClick::ShowLoginArea);
  EXPECT_EQ(ClassifyFeatureClick("btnLoginForLogin"), FeatureClick::Login);
  EXPECT_EQ(ClassifyFeatureClick("btnLoginForRegister"), FeatureClick::ShowLoginArea);
  EXPECT_EQ(ClassifyFeatureClick("btnRegister"), FeatureClick::ShowRegisterArea);
  EXPECT_EQ(ClassifyFeatureClick("btnRegisterForRegister"), FeatureClick::Register);
  EXPECT_EQ(ClassifyFeatureClick("btnLogin2"), FeatureClick::None);
  EXPECT_EQ(ClassifyFeatureClick("helpbtnx"), FeatureClick::None);
}

TEST(ClickDispatcherTest, PrefixRowsMatchEveryPositionOfARow) {
  EXPECT_EQ(ClassifyFeatureClick("btnKnowlegeItemDownload_0"), FeatureClick::KnowlegeItemDownload);
  EXPECT_EQ(ClassifyFeatureClick("btnKnowlegeItemDownload_9"), FeatureClick::KnowlegeItemDownload);
  EXPECT_EQ(ClassifyFeatureClick("btnAppMarketItem_3"), FeatureClick::AppMarketItem);
  EXPECT_EQ(ClassifyFeatureClick("btnHomeAppBtn_12"), FeatureClick::HomeAppButton);
  EXPECT_EQ(ClassifyFeatureClick("btnKnowlegeDownloaded_Open_2"), FeatureClick::KnowlegeDownloaded);
  EXPECT_EQ(ClassifyFeatureClick("btnKnowlegeDownloading_Delete_0"),
            FeatureClick::KnowlegeDownloading);
  EXPECT_EQ(ClassifyFeatureClick("knowlege_downloadmng_quickBar_downloding"),
            FeatureClick::KnowlegeDownloadMngQuickBar);
  EXPECT_EQ(ClassifyFeatureClick("ad_btn_17"), FeatureClick::AdNavigation);
  EXPECT_EQ(ClassifyFeatureClick("AD_BTN_17"), FeatureClick::AdNavigation);
  EXPECT_EQ(ClassifyFeatureClick("btnNetFrameworkForAppMarketItem_4"), FeatureClick::NetFramework);
}

TEST(ClickDispatcherTest, EachPagerGoesToItsOwnList) {
  EXPECT_EQ(ClassifyFeatureClick("ouHomApp_Prev"), FeatureClick::HomeAppPager);
  EXPECT_EQ(ClassifyFeatureClick("ouKnowlege_PageIndex_7"), FeatureClick::KnowlegePager);
  EXPECT_EQ(ClassifyFeatureClick("ouAppMarket_Next"), FeatureClick::AppMarketPager);
  // The question view's pager is not routed anywhere.
  EXPECT_EQ(ClassifyFeatureClick("ouFAQ_Next"), FeatureClick::None);
}

TEST(ClickDispatcherTest, ShareButtonsAreFoundAnywhereInTheName) {
  EXPECT_EQ(ClassifyFeatureClick("btnShareTo_ShareToSina_For_AppMarketItem_3"),
            FeatureClick::Share);
  EXPECT_EQ(ClassifyFeatureClick("btnShareTo_ShareToAll_For_HomeRight_0"), FeatureClick::Share);
  EXPECT_EQ(ClassifyFeatureClick("xbtnShareTo_ShareToQQZone_For_KnowlegeDownloaded_1"),
            FeatureClick::Share);
}

TEST(ClickDispatcherTest, EarlierRowsWinOverLaterOnes) {
  // A name that fits two rows goes to the row listed first: the downloaded-row prefix comes
  // before the share row, the share row before the advertisement prefix.
  EXPECT_EQ(ClassifyFeatureClick("btnKnowlegeDownloaded_btnShareTo_Share"),
            FeatureClick::KnowlegeDownloaded);
  EXPECT_EQ(ClassifyFeatureClick("btnAppMarketItem_btnShareTo_Share"), FeatureClick::AppMarketItem);
  EXPECT_EQ(ClassifyFeatureClick("ad_btn_btnShareTo_Share"), FeatureClick::Share);
}

TEST(ClickDispatcherTest, UnknownAndEmptyNamesDoNothing) {
  EXPECT_EQ(ClassifyFeatureClick(""), FeatureClick::None);
  EXPECT_EQ(ClassifyFeatureClick("quickBar_Home"), FeatureClick::None);
  EXPECT_EQ(ClassifyFeatureClick("btnKnowlegeItemDownload"), FeatureClick::None);
}

}  // namespace
}  // namespace ui
