// Share buttons: their names, looks and the pages a click opens.

#include "knowledge/share_buttons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "net/share_page.h"
#include "skinui/button.h"
#include "zelk_lib_stand_in.h"

namespace knowledge {
namespace {

using net::ShareTarget;

TEST(ShareButtonsTest, ANameTellsTargetPlaceAndIndex) {
  EXPECT_EQ(ShareButtonName(ShareTarget::Sina, SharePlace::AppMarketItem, 3),
            "btnShareTo_ShareToSina_For_AppMarketItem_3");
  EXPECT_EQ(ParseShareButtonName("btnShareTo_ShareToSina_For_AppMarketItem_3"),
            (ShareClick{ShareTarget::Sina, SharePlace::AppMarketItem, 3}));
  EXPECT_EQ(ParseShareButtonName("btnShareTo_ShareToAll_For_KnowlegeDownloaded_12"),
            (ShareClick{ShareTarget::All, SharePlace::KnowlegeDownloaded, 12}));
  EXPECT_EQ(ParseShareButtonName("btnShareTo_ShareToQQWeiBo_For_KnowlegeDownloading_0"),
            (ShareClick{ShareTarget::QQWeiBo, SharePlace::KnowlegeDownloading, 0}));
  // The home page's buttons, no place, no number.
  EXPECT_EQ(ParseShareButtonName("btnShareTo_ShareToBaidu_For_HomeRight_0"),
            (ShareClick{ShareTarget::Baidu, SharePlace::HomeRight, 0}));
  EXPECT_EQ(ParseShareButtonName("btnShareTo_ShareToQQZone_For_Elsewhere_4"),
            (ShareClick{ShareTarget::QQZone, SharePlace::None, 0}));
  EXPECT_EQ(ParseShareButtonName("btnShareTo_ShareToSina_For_AppMarketItem_x"),
            (ShareClick{ShareTarget::Sina, SharePlace::AppMarketItem, 0}));
}

TEST(ShareButtonsTest, SetUpGivesTheSquareOfTheStripTooltipSizeAndName) {
  skinui::Button button;
  button.SetText(u"分享");
  SetUpShareButton(button, true, ShareTarget::Sina, SharePlace::HomeRight, 0);
  EXPECT_EQ(button.GetText(), u"");
  EXPECT_EQ(button.GetBkImage(), "file='share_to/sharebtn_32.png' source='96,0,128,32'");
  EXPECT_EQ(button.GetToolTip(), u"新浪微博");
  EXPECT_EQ(button.GetFixedWidth(), 32);
  EXPECT_EQ(button.GetFixedHeight(), 32);
  EXPECT_EQ(button.GetName(), "btnShareTo_ShareToSina_For_HomeRight_0");

  SetUpShareButton(button, false, ShareTarget::All, SharePlace::KnowlegeDownloaded, 2);
  EXPECT_EQ(button.GetBkImage(), "file='share_to/sharebtn_16.png' source='0,0,16,16'");
  EXPECT_EQ(button.GetToolTip(), u"分享到所有社交媒体");
  EXPECT_EQ(button.GetFixedWidth(), 16);
  EXPECT_EQ(button.GetName(), "btnShareTo_ShareToAll_For_KnowlegeDownloaded_2");
}

TEST(ShareButtonsTest, AllOpensFourPagesAndAFileIsSharedAsADownload) {
  const core::ZelkLibBinding lib = knowledge_testing::MakeStandInBinding();
  const std::vector<std::u16string> all = net::SharePageUrls(lib, ShareTarget::All, u"", u"");
  ASSERT_EQ(all.size(), 4u);
  for (const char16_t* code : {u"qzone", u"tqq", u"tsina", u"hi"}) {
    const std::u16string expected = u"zelk/Share.aspx?act=tool&t=" + std::u16string(code) + u"&uc=";
    EXPECT_EQ(std::count_if(all.begin(), all.end(),
                            [&](const std::u16string& url) { return url.ends_with(expected); }),
              1);
  }
  EXPECT_TRUE(all[0].find(u"t=qzone") != std::u16string::npos);
  EXPECT_TRUE(all[3].find(u"t=hi") != std::u16string::npos);

  const std::vector<std::u16string> one =
      net::SharePageUrls(lib, ShareTarget::Baidu, u"sign1", u"规范.pdf");
  ASSERT_EQ(one.size(), 1u);
  EXPECT_TRUE(one[0].ends_with(u"zelk/Share.aspx?act=down&t=hi&uc=sign1&fname=规范.pdf"));
  EXPECT_TRUE(net::SharePageUrls(lib, ShareTarget::None, u"", u"x").empty());
  // A file name that would make the URL longer than a request may be opens nothing.
  EXPECT_TRUE(net::SharePageUrls(lib, ShareTarget::Sina, u"", std::u16string(4000, u'x')).empty());
}

}  // namespace
}  // namespace knowledge
