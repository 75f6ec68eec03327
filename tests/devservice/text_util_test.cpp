#include <gtest/gtest.h>

#include "devservice/request.h"
#include "devservice/text_util.h"

namespace devservice {
namespace {

TEST(TextUtil, RequestPathsAreMatchedWithoutCaseAndRepeatedSlashes) {
  EXPECT_EQ(NormalizeRequestPath("//zelk//seedMessage/SeedMessageApi.aspx"),
            "zelk/seedmessage/seedmessageapi.aspx");
  EXPECT_EQ(NormalizeRequestPath("/"), "");
  EXPECT_EQ(CollapseSlashes("/zelk//AppIcons/A.png"), "zelk/AppIcons/A.png");
  const Request request("GET", "//Zelk/AppIcons/RebarWeight.png", {}, "", "127.0.0.1:8096");
  EXPECT_EQ(request.path(), "zelk/appicons/rebarweight.png");
  EXPECT_EQ(request.pathAfter("zelk/appicons/"), "RebarWeight.png");
  EXPECT_EQ(request.pathAfter("zelk/static/"), "");
  EXPECT_EQ(request.baseUrl(), "http://127.0.0.1:8096/");
  EXPECT_EQ(Request("GET", "/", {}, "", "evil\"host").baseUrl(), "http://127.0.0.1/");
}

TEST(TextUtil, FileNamesAreOneSafeComponent) {
  for (const char* good : {"a.png", "GB50204-2015.pdf", "钢筋.docx", "..a"})
    EXPECT_TRUE(IsSafeFileName(good)) << good;
  for (const char* bad : {"", ".", "..", "../a", "a/b", "a\\b", "a\nb"})
    EXPECT_FALSE(IsSafeFileName(bad)) << bad;
  EXPECT_TRUE(IsSafeFileName(std::string(255, 'a')));
  EXPECT_FALSE(IsSafeFileName(std::string(256, 'a')));
}

TEST(TextUtil, LoginIdsAreNormalisedAndMobileNumbersMasked) {
  EXPECT_EQ(NormalizeLoginId(" +8613800000000 "), "13800000000");
  EXPECT_EQ(NormalizeLoginId("8613800000000"), "13800000000");
  EXPECT_EQ(NormalizeLoginId("Li.Gong@Example.COM"), "li.gong@example.com");
  EXPECT_TRUE(IsMobileNumber("13800000000"));
  EXPECT_FALSE(IsMobileNumber("12800000000"));
  EXPECT_FALSE(IsMobileNumber("1380000000"));
  EXPECT_FALSE(IsMobileNumber("1380000000a"));
  EXPECT_TRUE(IsEmailAddress("a@b.cn"));
  for (const char* bad : {"ab.cn", "@b.cn", "a@b", "a@.cn", "a@b.", "a b@c.cn", "a@b@c.cn"}) {
    EXPECT_FALSE(IsEmailAddress(bad)) << bad;
  }
  EXPECT_EQ(MaskMobileNumber("13912345678"), "139****5678");
  EXPECT_EQ(MaskMobileNumber("a@b.cn"), "a@b.cn");
}

TEST(TextUtil, TermsSplitAtBlanksAndChineseCommas) {
  EXPECT_EQ(SplitTerms(" 脚手架，计算书、 模板　支撑,,a+b "),
            (std::vector<std::string>{"脚手架", "计算书", "模板", "支撑", "a", "b"}));
  EXPECT_TRUE(SplitTerms(" , ").empty());
  EXPECT_EQ(Split("a,,b", ','), (std::vector<std::string>{"a", "", "b"}));
}

TEST(TextUtil, Utf8IsCheckedAndCutOnCharacterBoundaries) {
  EXPECT_TRUE(IsValidUtf8("规范 abc"));
  EXPECT_FALSE(IsValidUtf8("\xB9\xE6\xB7\xB6"));  // GBK
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE8\xA7"));          // cut short
  EXPECT_EQ(Utf8Length("规范ab"), 4u);
  EXPECT_EQ(TruncateUtf8("规范", 4), "规");
  EXPECT_EQ(TruncateUtf8("规范", 6), "规范");
  EXPECT_EQ(TruncateUtf8("规范", 2), "");
}

TEST(TextUtil, VersionsCompareByNumber) {
  EXPECT_GT(CompareVersions("3.1.10", "3.1.9"), 0);
  EXPECT_EQ(CompareVersions("3.1", "3.1.0.0"), 0);
  EXPECT_LT(CompareVersions("3.0.9", "3.1"), 0);
  EXPECT_TRUE(IsVersionText("3.1.0.0"));
  for (const char* bad : {"", "3.", ".3", "3..1", "3.1a", "1.2.3.4.5", "1234567890"}) {
    EXPECT_FALSE(IsVersionText(bad)) << bad;
  }
}

TEST(TextUtil, HtmlAndUrlEscaping) {
  EXPECT_EQ(HtmlEscape("<a href=\"x\">'&'</a>"),
            "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
  EXPECT_EQ(UrlEncodeComponent("a b/规"), "a%20b%2F%E8%A7%84");
}

TEST(Request, NumbersAreStrictSigned32BitDecimals) {
  EXPECT_EQ(ParseInt32("12"), 12);
  EXPECT_EQ(ParseInt32(" -3 "), -3);
  EXPECT_EQ(ParseInt32("+4"), 4);
  EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
  EXPECT_EQ(ParseInt32("-2147483648"), -2147483647 - 1);
  for (const char* bad :
       {"", " ", "abc", "1x", "0x1", "1.0", "2147483648", "-2147483649", "+-1", "１"}) {
    EXPECT_FALSE(ParseInt32(bad).has_value()) << bad;
  }
}

TEST(Request, ParametersAreFoundWithoutCaseAndMissingOnesRefused) {
  const Request request("GET", "/x", {{"LoginSign", "abc"}, {"uid", "7"}, {"p", "x"}, {"q", ""}},
                        "", "");
  EXPECT_EQ(request.text("loginsign"), "abc");
  EXPECT_EQ(request.integer("UID"), 7);
  EXPECT_EQ(request.optionalInteger("count"), std::nullopt);
  EXPECT_THROW(request.integer("p"), BadRequest);
  EXPECT_THROW(request.text("q"), BadRequest);
  EXPECT_THROW(request.text("missing"), BadRequest);
  try {
    request.integer("p");
  } catch (const BadRequest& refused) {
    EXPECT_STREQ(refused.what(), "参数p不是有效的数字");
  }
}

}  // namespace
}  // namespace devservice
