#include <gtest/gtest.h>

#include "net/text_conversion.h"
#include "platform/code_page.h"

namespace net {
namespace {

TEST(CleanDisplayText, RemovesEntityNamesButKeepsTheirAmpersand) {
  EXPECT_EQ(CleanDisplayText(u"A&nbsp;B"), u"A&B");
  EXPECT_EQ(CleanDisplayText(u"&ldquo;规范&rdquo;&middot;3&times;4&mdash;&hellip;5&prime;6&deg;"),
            u"&规范&&3&4&&5&6&");
  EXPECT_EQ(CleanDisplayText(u"a\rb\nc\td e"), u"abcde");
  EXPECT_EQ(CleanDisplayText(u"??"), u"");
  EXPECT_EQ(CleanDisplayText(u"???"), u"?");
  EXPECT_EQ(CleanDisplayText(u"  多个   空格 "), u"多个空格");
  EXPECT_EQ(CleanDisplayText(u""), u"");
}

TEST(CleanDisplayText, AppliesRemovalsInOrderSoLaterOnesCanJoinEarlierRests) {
  // Removing the line feed first would have left "nb sp;"; the order keeps it as given.
  EXPECT_EQ(CleanDisplayText(u"nb\nsp;x"), u"nbsp;x");
  // Removing the spaces last joins two question marks that are no longer removed.
  EXPECT_EQ(CleanDisplayText(u"? ?"), u"??");
}

TEST(TextConversion, AnsiRoundTripsInGbkAndNullGivesEmptyText) {
  platform::SetAnsiCodesetOverride("GBK");
  EXPECT_EQ(AnsiToWide("\xBD\xA8\xD6\xFE"), u"建筑");
  EXPECT_EQ(AnsiToWide(static_cast<const char*>(nullptr)), u"");
  std::string ansi = "stale";
  EXPECT_TRUE(WideToAnsi(ansi, u"建筑"));
  EXPECT_EQ(ansi, "\xBD\xA8\xD6\xFE");
  EXPECT_FALSE(WideToAnsi(ansi, static_cast<const char16_t*>(nullptr)));
  EXPECT_EQ(ansi, "");
  // Characters GBK lacks are substituted, not a failure.
  EXPECT_TRUE(WideToAnsi(ansi, u"a\u0E01b"));
  EXPECT_EQ(ansi, "a?b");
  EXPECT_EQ(WideToAnsiString(u"中"), "\xD6\xD0");
  // Half a GBK character does not lose the rest of the text.
  EXPECT_EQ(AnsiToWide("ab\xD6"), u"ab\uFFFD");
  platform::SetAnsiCodesetOverride("");
}

TEST(TextConversion, AConversionThatCannotBeMadeIsAFailureWithNothingConverted) {
  platform::SetAnsiCodesetOverride("NO-SUCH-CODESET");
  std::string ansi = "stale";
  EXPECT_FALSE(WideToAnsi(ansi, u"建筑"));
  EXPECT_EQ(ansi, "");
  platform::SetAnsiCodesetOverride("");
}

TEST(TextConversion, Utf8ConversionsAnswerNothingForNull) {
  EXPECT_FALSE(WideToUtf8(static_cast<const char16_t*>(nullptr)).has_value());
  EXPECT_FALSE(Utf8ToWide(static_cast<const char*>(nullptr)).has_value());
  EXPECT_EQ(*WideToUtf8(u"图纸"), "图纸");
  EXPECT_EQ(*Utf8ToWide("图纸"), u"图纸");
}

}  // namespace
}  // namespace net
