#include <gtest/gtest.h>

#include <string>

#include "home/ad_reply.h"
#include "home/app_share_name.h"
#include "home/news_reply.h"
#include "home/summary_counts.h"

namespace home {
namespace {

TEST(NewsReply, TitlesAreLowerCasedCleanedAndCutWithoutSplittingACharacter) {
  EXPECT_EQ(NewsRowTitle(u""), u"");
  EXPECT_EQ(NewsRowTitle(std::u16string(500, u'规')), std::u16string(20, u'规'));
  EXPECT_EQ(NewsRowTitle(u"BIM Technik\r\n in DER Praxis"), u"bimtechnikinderpraxi");
  // The 20th unit would be half of a character outside the basic plane: it is left out whole.
  const std::u16string emoji = std::u16string(19, u'a') + u"😀b";
  EXPECT_EQ(NewsRowTitle(emoji), std::u16string(19, u'a'));
  // Markup stays text; entity names go, their ampersand stays.
  EXPECT_EQ(NewsRowTitle(u"<b>x</b>&nbsp;y"), u"<b>x</b>&y");
}

TEST(NewsReply, OnlyASuccessfulReplyGivesNewsAndNullsReadAsEmpty) {
  EXPECT_FALSE(ReadNewsReply("<html>error</html>"));
  EXPECT_FALSE(ReadNewsReply(R"({"result":0,"news":[{"title":"t","url":"u"}]})"));
  const auto news =
      ReadNewsReply(R"({"result":1,"news":[{"title":null,"url":"u"},7,{"title":"t"}]})");
  ASSERT_TRUE(news);
  ASSERT_EQ(news->size(), 2u);
  EXPECT_EQ((*news)[0].title, "");
  EXPECT_EQ((*news)[0].url, "u");
  EXPECT_EQ((*news)[1].url, "");
  EXPECT_TRUE(ReadNewsReply(R"({"result":1,"news":"none"})")->empty());
}

TEST(SummaryCounts, OnlyPositiveTotalsAreShown) {
  const core::SummaryCountsPayload counts =
      ReadSummaryReply(R"({"result":1,"installTotal":"1200","appTotal":-4})");
  EXPECT_EQ(SummaryCountText(counts.installTotal), u"1200");
  EXPECT_EQ(SummaryCountText(counts.appTotal), u"---");
  EXPECT_EQ(
      SummaryCountText(ReadSummaryReply(R"({"result":1,"installTotal":"many"})").installTotal),
      u"---");
  EXPECT_EQ(ReadSummaryReply(R"({"result":0,"installTotal":5})").installTotal, 0);
  EXPECT_EQ(SummaryCountText(0), u"---");
}

TEST(AdReply, CacheNamesStayOneComponentInTheAdFolder) {
  EXPECT_EQ(AdCacheFileName(7, "ad.png"), "7_ad.png");
  EXPECT_EQ(AdCacheFileName(7, ""), "");
  const std::string hostile = AdCacheFileName(7, "../../x.png");
  EXPECT_EQ(hostile.find('/'), std::string::npos);
  const auto ads = ReadAdReply(R"({"result":1,"AdItems":[{"id":"3","AdDesc":null}]})");
  ASSERT_TRUE(ads);
  ASSERT_EQ(ads->size(), 1u);
  EXPECT_EQ((*ads)[0].id, 3);
  EXPECT_EQ((*ads)[0].adDesc, "");
  EXPECT_FALSE(ReadAdReply(R"({"result":0,"AdItems":[{"id":1}]})"));
}

TEST(AppShareName, AppsAndToolsKeepTheirNameOthersBecomeAnAppTool) {
  EXPECT_EQ(AppShareName(u"钢筋算量工具"), u"钢筋算量工具");
  EXPECT_EQ(AppShareName(u"安全交底应用"), u"安全交底应用");
  EXPECT_EQ(AppShareName(u"脚手架计算"), u"脚手架计算应用工具");
  EXPECT_EQ(AppShareName(u""), u"应用工具");
}

}  // namespace
}  // namespace home
