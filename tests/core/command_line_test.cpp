#include "core/command_line.h"

#include <gtest/gtest.h>

namespace core {
namespace {

TEST(CommandLine, EveryDoubleQuoteIsRemoved) {
  EXPECT_EQ(RemoveDoubleQuotes(std::string_view("\"Zelk://download/a=1\"")), "Zelk://download/a=1");
  EXPECT_EQ(RemoveDoubleQuotes(std::string_view("a\"b\"\"c")), "abc");
  EXPECT_EQ(RemoveDoubleQuotes(std::u16string_view(u"\"报告\"")), u"报告");
  EXPECT_EQ(RemoveDoubleQuotes(std::string_view("\"\"")), "");
}

TEST(CommandLine, ArgumentsAreJoinedWithoutTheDesktopEntrySeparatorAndQuotes) {
  const char* browser[] = {"Zelk", "--", "\"Zelk://download/a=1\""};
  EXPECT_EQ(ReadClientCommandLine(3, browser), "Zelk://download/a=1");
  const char* split[] = {"Zelk", "Zelk://download/name=a", "b.pdf"};
  EXPECT_EQ(ReadClientCommandLine(3, split), "Zelk://download/name=a b.pdf");
  const char* none[] = {"Zelk"};
  EXPECT_EQ(ReadClientCommandLine(1, none), "");
}

TEST(UrlRequest, RecognisedOnlyAtTheStartOfTheCommandLine) {
  EXPECT_TRUE(IsUrlProtocolRequest(u"Zelk://download/a=1"));
  EXPECT_TRUE(IsUrlProtocolRequest(u"Zelk://"));
  EXPECT_FALSE(IsUrlProtocolRequest(u"open Zelk://download/a=1"));
  EXPECT_FALSE(IsUrlProtocolRequest(u" Zelk://download/a=1"));
  EXPECT_FALSE(IsUrlProtocolRequest(u"\"Zelk://download/a=1\""));  // quotes are removed first
  EXPECT_FALSE(IsUrlProtocolRequest(u""));
  EXPECT_FALSE(IsUrlProtocolRequest(u"Zelk:/"));
  EXPECT_FALSE(IsUrlProtocolRequest(u"Zelk:download"));
  EXPECT_FALSE(IsUrlProtocolRequest(u"Zelkx://download"));
  EXPECT_FALSE(IsUrlProtocolRequest(u"http://Zelk://"));
}

TEST(UrlRequest, SchemeCaseDoesNotMatterBecauseBrowsersLowerIt) {
  EXPECT_TRUE(IsUrlProtocolRequest(u"zelk://download/a=1"));
  EXPECT_TRUE(IsUrlProtocolRequest(u"ZELK://download/a=1"));
  // Only ASCII letters fold: a look-alike letter is not the scheme.
  EXPECT_FALSE(IsUrlProtocolRequest(u"Ｚelk://download/a=1"));
}

TEST(UrlRequest, QuotedRequestAsBrowsersPassItIsRecognisedAfterQuoteRemoval) {
  const std::u16string line = RemoveDoubleQuotes(std::u16string_view(u"\"Zelk://download/a=1\""));
  EXPECT_TRUE(IsUrlProtocolRequest(line));
}

}  // namespace
}  // namespace core
