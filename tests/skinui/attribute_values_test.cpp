#include "skinui/attribute_values.h"

#include <gtest/gtest.h>

#include "skinui/color_markup.h"
#include "skinui/image_spec.h"

namespace skinui {
namespace {

TEST(AttributeValuesTest, NumbersMustBeWhole) {
  EXPECT_EQ(ParseInt(" 42 "), 42);
  EXPECT_EQ(ParseInt("-7"), -7);
  EXPECT_THROW(ParseInt("12px"), AttributeError);
  EXPECT_THROW(ParseInt(""), AttributeError);
  EXPECT_THROW(ParseInt("99999999999"), AttributeError);
  try {
    ParseInt("abc");
    FAIL();
  } catch (const AttributeError& e) {
    EXPECT_NE(std::string(e.what()).find("'abc'"), std::string::npos);
  }
}

TEST(AttributeValuesTest, RectanglesSizesAndFlags) {
  EXPECT_EQ(ParseRect("1,2,3,4"), (Rect{1, 2, 3, 4}));
  EXPECT_THROW(ParseRect("1,2,3"), AttributeError);
  EXPECT_THROW(ParseRect("1,2,3,4,5"), AttributeError);
  EXPECT_EQ(ParseSize("1200,900"), (Size{1200, 900}));
  EXPECT_TRUE(ParseBool("TRUE"));
  EXPECT_FALSE(ParseBool("0"));
  EXPECT_THROW(ParseBool("yes"), AttributeError);
}

TEST(AttributeValuesTest, ColoursWithAndWithoutAlpha) {
  EXPECT_EQ(ParseColor("#FF112233"), 0xFF112233u);
  EXPECT_EQ(ParseColor("#112233"), 0xFF112233u);
  EXPECT_EQ(ParseColor("0x80FFFFFF"), 0x80FFFFFFu);
  EXPECT_THROW(ParseColor("red"), AttributeError);
  EXPECT_THROW(ParseColor("#12345"), AttributeError);
  EXPECT_EQ(FormatColor(0xFF0A0B0C), "#FF0A0B0C");
}

TEST(ImageSpecTest, PlainFileNameOrKeyedParts) {
  EXPECT_EQ(ParseImageSpec("bk.png").file, "bk.png");
  EXPECT_FALSE(ParseImageSpec("bk.png").source.has_value());
  const ImageSpec image =
      ParseImageSpec("file='page_draw.png' source='21,0,42,24' corner='2,3,4,5'");
  EXPECT_EQ(image.file, "page_draw.png");
  ASSERT_TRUE(image.source.has_value());
  EXPECT_EQ(*image.source, (Rect{21, 0, 42, 24}));
  EXPECT_EQ(image.corner, (Rect{2, 3, 4, 5}));
  EXPECT_TRUE(ParseImageSpec("").empty());
}

TEST(ImageSpecTest, MalformedStringsAreRefused) {
  EXPECT_THROW(ParseImageSpec("file='x.png"), AttributeError);
  EXPECT_THROW(ParseImageSpec("file=x.png"), AttributeError);
  EXPECT_THROW(ParseImageSpec("file='x.png' fade='3'"), AttributeError);
  EXPECT_THROW(ParseImageSpec("file='x.png' source='1,2'"), AttributeError);
  EXPECT_THROW(ParseImageSpec("source='1,2,3,4'"), AttributeError);
}

TEST(ColorMarkupTest, SplitsColouredRuns) {
  const auto runs = ParseColorMarkup(u"1.<c #FF0000>钢筋</c>规范");
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0], (MarkupRun{u"1.", std::nullopt}));
  EXPECT_EQ(runs[1], (MarkupRun{u"钢筋", 0xFFFF0000u}));
  EXPECT_EQ(runs[2], (MarkupRun{u"规范", std::nullopt}));
  EXPECT_EQ(StripColorMarkup(u"a<c #00FF00>b</c>c"), u"abc");
}

TEST(ColorMarkupTest, MalformedTagsStayTextAndUnclosedTagsColourToTheEnd) {
  EXPECT_EQ(StripColorMarkup(u"a<c red>b</c>"), u"a<c red>b</c>");
  const auto runs = ParseColorMarkup(u"x<c #0000FF>y");
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[1].color, 0xFF0000FFu);
  EXPECT_EQ(StripColorMarkup(u"</c>"), u"</c>");
}

TEST(ColorMarkupTest, PangoMarkupEscapesTheText) {
  EXPECT_EQ(ToPangoMarkup(ParseColorMarkup(u"<b>&<c #FF0000>x</c>")),
            "&lt;b&gt;&amp;<span foreground=\"#FF0000\">x</span>");
}

}  // namespace
}  // namespace skinui
