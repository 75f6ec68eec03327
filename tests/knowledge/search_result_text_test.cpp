// The texts of the knowledge search without a window: the highlighting of the keys, the cleaned
// description, the numbering and page arithmetic, and what a search reply may hold.

#include "knowledge/search_result_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "knowledge/knowlege_search_worker.h"
#include "platform/code_page.h"

namespace knowledge {
namespace {

TEST(HighlightKeysTest, LongerKeysWinAndAKeyFirstFoundInsideATakenOneIsNotMarked) {
  // "混凝土" first occurs inside "混凝土结构" (taken first, being longer): not marked, not even
  // where it occurs on its own later.
  EXPECT_EQ(HighlightKeys(u"混凝土结构与混凝土", {u"混凝土", u"混凝土结构"}),
            u"<c #FF0000>混凝土结构</c>与混凝土");
  // Found first outside: both are marked, and the longer one's text is not marked twice.
  EXPECT_EQ(HighlightKeys(u"混凝土与混凝土结构", {u"混凝土", u"混凝土结构"}),
            u"<c #FF0000>混凝土</c>与<c #FF0000>混凝土结构</c>");
  // A key that starts right where a taken one ends touches its span: skipped.
  EXPECT_EQ(HighlightKeys(u"abcdef", {u"abc", u"def", u"cd"}), u"<c #FF0000>abc</c>def");
  // Empty and missing keys change nothing; every occurrence of a taken key is marked.
  EXPECT_EQ(HighlightKeys(u"规范与规范", {u"", u"图集", u"规范"}),
            u"<c #FF0000>规范</c>与<c #FF0000>规范</c>");
  EXPECT_EQ(HighlightKeys(u"规范", {}), u"规范");
  // Keys that match the markup's own letters do not break it.
  EXPECT_EQ(HighlightKeys(u"c ff", {u"ff", u"c", u"FF0000"}),
            u"<c #FF0000>c</c> <c #FF0000>ff</c>");
}

TEST(CleanResultDescriptionTest, CleansLowerCasesAndCutsBeforeHighlighting) {
  EXPECT_EQ(CleanResultDescription(u"GB&nbsp;50204 \r\n\t“A”rdquo;ldquo; 5deg;C??"),
            u"gb&50204“a”5c");
  // 300 characters: the first 120 after cleaning; one character outside the basic plane counts
  // once and is never cut in half.
  std::u16string longText;
  for (int i = 0; i < 300; ++i) longText += u"规 ";
  EXPECT_EQ(CleanResultDescription(longText), std::u16string(120, u'规'));
  const std::u16string wide = std::u16string(119, u'x') + u"\U0002000B" + u"yyy";
  EXPECT_EQ(CleanResultDescription(wide), std::u16string(119, u'x') + u"\U0002000B");
  // Colour tags of the service are dropped before the keys are marked.
  EXPECT_EQ(PlainServiceText(u"<c #00FF00>绿</c>色"), u"绿色");
}

TEST(SearchArithmeticTest, TypesPagesAndNumbers) {
  EXPECT_EQ(SearchTypeId(0), 0);
  EXPECT_EQ(SearchTypeId(2), 2);
  EXPECT_EQ(SearchTypeId(3), 5);
  EXPECT_EQ(SearchTypeId(4), 0);
  EXPECT_EQ(SearchTypeId(-1), 0);
  EXPECT_EQ(SearchPageCount(0), 0);
  EXPECT_EQ(SearchPageCount(20), 2);
  EXPECT_EQ(SearchPageCount(21), 3);
  EXPECT_EQ(NumberedTitle(3, 0, u"a"), u"21.a");
  EXPECT_EQ(NumberedTitle(3, 9, u"b"), u"30.b");
  EXPECT_EQ(SplitSearchKeys(u"混凝土,,结构"),
            (std::vector<std::u16string>{u"混凝土", u"", u"结构"}));
}

TEST(KnowlegeSearchReplyTest, OnlyAReplyWithResultOneCounts) {
  platform::SetAnsiCodesetOverride("UTF-8");
  EXPECT_FALSE(ReadKnowlegeSearchReply("not json").has_value());
  EXPECT_FALSE(ReadKnowlegeSearchReply(R"({"result":0,"list":[{"title":"x"}]})").has_value());
  EXPECT_FALSE(ReadKnowlegeSearchReply(R"({"result":"2"})").has_value());

  const auto empty = ReadKnowlegeSearchReply(R"({"result":1,"pagenum":1,"total":0})");
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->results.empty());

  const auto page = ReadKnowlegeSearchReply(
      R"({"result":1,"pagenum":3,"total":"25","keys":"规范","list":[)"
      R"({"title":"规范","info":"说明","filename":"a.pdf","downid":"77","type":5},)"
      R"(7,{"title":null}]})");
  ASSERT_TRUE(page.has_value());
  EXPECT_EQ(page->pageNumber, 3);
  EXPECT_EQ(page->total, 25);
  EXPECT_EQ(page->keys, u"规范");
  ASSERT_EQ(page->results.size(), 2u);  // the number is no result
  EXPECT_EQ(page->results[0].fileName, u"a.pdf");
  EXPECT_EQ(page->results[0].downloadId, u"77");
  EXPECT_EQ(page->results[0].type, 5);
  EXPECT_EQ(page->results[1].title, u"");
  platform::SetAnsiCodesetOverride("");
}

}  // namespace
}  // namespace knowledge
