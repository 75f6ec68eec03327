#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace platform {
namespace {

struct GbkCodePage {
  GbkCodePage() { SetAnsiCodesetOverride("GBK"); }
  ~GbkCodePage() { SetAnsiCodesetOverride(""); }
};

TEST(CodePage, GbkAnsiTextRoundTripsAndUnknownCharactersBecomeQuestionMarks) {
  GbkCodePage gbk;
  EXPECT_EQ(AnsiCodeset(), "GBK");
  const std::string ansi = "\xD6\xD0\xCE\xC4";  // 中文 in GBK
  ASSERT_TRUE(AnsiToUtf16(ansi).has_value());
  EXPECT_EQ(*AnsiToUtf16(ansi), u"中文");
  EXPECT_EQ(Utf16ToAnsi(u"中文"), ansi);
  EXPECT_EQ(Utf16ToAnsi(u"a\u0e01\u20acb"), "a?\x80" "b");  // Thai is not in GBK, € is 0x80
  EXPECT_EQ(Utf16ToAnsi(u"\U0001F600x"), "?x");          // a surrogate pair is one character
}

TEST(CodePage, InvalidInputIsReportedOrReplacedNeverLost) {
  GbkCodePage gbk;
  EXPECT_FALSE(AnsiToUtf16("\xD6").has_value());  // half a character
  EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(Utf16ToUtf8(u"x\xD800y"), "x\xEF\xBF\xBDy");
  EXPECT_EQ(Utf8ToUtf16("建筑"), u"建筑");
  EXPECT_EQ(Utf16ToUtf8(u"建筑"), "建筑");
  EXPECT_EQ(Utf8ToUtf16(""), u"");
}

TEST(CodePage, TheLocaleCodesetIsUsedWithoutOverride) {
  SetAnsiCodesetOverride("");
  const std::string codeset = AnsiCodeset();
  EXPECT_FALSE(codeset.empty());
  EXPECT_NE(codeset, "ANSI_X3.4-1968");
}

TEST(CodePage, Utf16LengthOfNullIsZero) {
  EXPECT_EQ(Utf16Length(nullptr), 0u);
  EXPECT_EQ(Utf16View(u"abc"), u"abc");
}

}  // namespace
}  // namespace platform
