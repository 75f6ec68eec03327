#include "core/command_line.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"

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

TEST(UrlRequest, OnlyAWholeWellFormedDownloadRequestPassesBetweenInstances) {
  for (const std::u16string_view good :
       {u"zelk://download/downid=17", u"Zelk://Download/a=1&name=%E6%8A%A5%e5",
        u"ZELK://DOWNLOAD/q?x=1;y=(2)/z~_.-!$'*+,:@"}) {
    EXPECT_TRUE(IsWellFormedUrlProtocolRequest(good)) << platform::Utf16ToUtf8(good);
  }
  for (const std::u16string_view bad :
       {u"", u"zelk://", u"zelk://download", u"zelk://download/", u"zelk://search/a=1",
        u"zelk:/download/a=1", u"open zelk://download/a=1", u"zelk://download/a=1 b",
        u"zelk://download/a=\"1\"", u"zelk://download/a=1\n", u"zelk://download/a=<b>",
        u"zelk://download/a=%4", u"zelk://download/a=%g1", u"zelk://download/a=1#top",
        u"zelk://download/a=\\x", u"zelk://download/报告"}) {
    EXPECT_FALSE(IsWellFormedUrlProtocolRequest(bad)) << platform::Utf16ToUtf8(bad);
  }
  const std::u16string prefix = u"zelk://download/a=";
  const std::u16string longest(kMaxUrlProtocolRequestLength - prefix.size(), u'x');
  EXPECT_TRUE(IsWellFormedUrlProtocolRequest(prefix + longest));
  EXPECT_FALSE(IsWellFormedUrlProtocolRequest(prefix + longest + u"x"));
}

}  // namespace
}  // namespace core
