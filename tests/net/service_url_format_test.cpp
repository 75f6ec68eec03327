#include <gtest/gtest.h>

#include "net/endpoints.h"
#include "net/service_url_format.h"

namespace net {
namespace {

TEST(FormatServiceUrl, FillsPlaceholdersInOrderUnescaped) {
  const auto url = FormatServiceUrl(endpoints::kRecordUserBehavior,
                                    {u"Windows 7", u"AA-BB", u"pc 1", u"A&B C", 2});
  ASSERT_TRUE(url.has_value());
  EXPECT_EQ(*url,
            u"zelk/RecordUserBehavior.aspx?req=0&osName=Windows 7&mac=AA-BB&computerName=pc 1"
            u"&behaviorName=A&B C&behaviorKind=2");
  EXPECT_EQ(*FormatServiceUrl(endpoints::kKnowledgeDownloadPermission, {-2147483647 - 1}),
            u"auth/auth_verify.aspx?kind=11&uid=-2147483648");
}

TEST(FormatServiceUrl, RefusesMismatchedValuesAndOverlongResults) {
  EXPECT_FALSE(FormatServiceUrl(endpoints::kHeartbeat, {}).has_value());
  EXPECT_FALSE(FormatServiceUrl(endpoints::kHeartbeat, {7}).has_value());
  EXPECT_FALSE(FormatServiceUrl(endpoints::kHeartbeat, {u"a", u"b"}).has_value());
  const std::u16string prefix = u"auth/auth_verify.aspx?kind=3&loginSign=";
  const std::u16string fits(kMaxServiceUrlLength - prefix.size(), u'x');
  EXPECT_EQ(FormatServiceUrl(endpoints::kHeartbeat, {fits})->size(), kMaxServiceUrlLength);
  EXPECT_FALSE(FormatServiceUrl(endpoints::kHeartbeat, {fits + u"x"}).has_value());
  EXPECT_FALSE(
      FormatServiceUrl(endpoints::kHeartbeat, {std::u16string(4'000'000, u'x')}).has_value());
}

TEST(ShortOSName, FirstContainedTextOfTheTableDecides) {
  EXPECT_EQ(ShortOSNameFrom(u"Windows 7 Ultimate"), u"Windows 7");
  EXPECT_EQ(ShortOSNameFrom(u"Server 2008 R2 6.1"), u"Windows 7");
  EXPECT_EQ(ShortOSNameFrom(u"Microsoft_Windows_XP"), u"Windows XP");
  EXPECT_EQ(ShortOSNameFrom(u"taxpayer edition"), u"Windows XP");  // "XP" inside a word
  EXPECT_EQ(ShortOSNameFrom(u"XP 2000"), u"Windows 2000");
  EXPECT_EQ(ShortOSNameFrom(u"windows vista"), u"Windows Vista");
  EXPECT_EQ(ShortOSNameFrom(u"Windows 8.1"), u"Windows 8.1");
  EXPECT_EQ(ShortOSNameFrom(u"Windows_8_Pro"), u"Windows 8");
  EXPECT_EQ(ShortOSNameFrom(u""), u"Windows");
  EXPECT_EQ(ShortOSNameFrom(u"Windows7"), u"Windows");
}

TEST(Endpoints, UnreadMessagesKeepItsLeadingSlash) {
  EXPECT_EQ(std::u16string(endpoints::kUnreadMessages).substr(0, 6), u"/zelk/");
}

}  // namespace
}  // namespace net
