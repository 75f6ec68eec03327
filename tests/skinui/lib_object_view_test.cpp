#include "skinui/lib_object_view.h"

#include <gtest/gtest.h>

#include "skinui/option.h"
#include "skinui/pager_arithmetic.h"
#include "skinui/text_utf.h"
#include "ui_test_support.h"

namespace skinui {
namespace {

std::vector<int> Shown(const PagerLayout& layout) {
  std::vector<int> numbers;
  for (int k = 0; k < 10; ++k) {
    if (layout.visible[k]) numbers.push_back(layout.numbers[k]);
  }
  return numbers;
}

int Selected(const PagerLayout& layout) {
  for (int k = 0; k < 10; ++k) {
    if (layout.selected[k]) return layout.numbers[k];
  }
  return -1;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> v;
  for (int i = first; i <= last; ++i) v.push_back(i);
  return v;
}

TEST(PagerArithmeticTest, TwentyFivePagesShowAWindowAroundTheCurrentPage) {
  EXPECT_EQ(Shown(ComputePager(7, 25)), Range(3, 12));
  EXPECT_EQ(Shown(ComputePager(13, 25)), Range(8, 17));
  EXPECT_EQ(Shown(ComputePager(24, 25)), Range(16, 25));
  EXPECT_EQ(Shown(ComputePager(1, 25)), Range(1, 10));
  EXPECT_EQ(Shown(ComputePager(5, 25)), Range(1, 10));
  EXPECT_EQ(Selected(ComputePager(13, 25)), 13);
  EXPECT_EQ(ComputePager(13, 25).visibleCount, 12);
}

TEST(PagerArithmeticTest, UpToTenPagesShowTheirNumbers) {
  const PagerLayout layout = ComputePager(3, 8);
  EXPECT_EQ(Shown(layout), Range(1, 8));
  EXPECT_EQ(Selected(layout), 3);
  EXPECT_TRUE(layout.prevNextVisible);
  EXPECT_TRUE(layout.prevEnabled);
  EXPECT_TRUE(layout.nextEnabled);
  EXPECT_EQ(layout.visibleCount, 10);
}

TEST(PagerArithmeticTest, PrevAndNextEnableAtTheEnds) {
  EXPECT_FALSE(ComputePager(1, 8).prevEnabled);
  EXPECT_TRUE(ComputePager(1, 8).nextEnabled);
  EXPECT_TRUE(ComputePager(8, 8).prevEnabled);
  EXPECT_FALSE(ComputePager(8, 8).nextEnabled);
  EXPECT_FALSE(ComputePager(25, 25).nextEnabled);
}

TEST(PagerArithmeticTest, OnePageAndNoPagesShowNothing) {
  const PagerLayout one = ComputePager(1, 1);
  EXPECT_FALSE(one.prevNextVisible);
  EXPECT_TRUE(Shown(one).empty());
  EXPECT_EQ(one.numbers[9], 10);  // the texts 1 to 10 are still given
  EXPECT_EQ(one.visibleCount, 0);
  const PagerLayout none = ComputePager(0, 0);
  EXPECT_FALSE(none.prevNextVisible);
  EXPECT_TRUE(Shown(none).empty());
  EXPECT_EQ(none.visibleCount, 0);
  EXPECT_TRUE(Shown(ComputePager(1, -4)).empty());
  // The home page's pager keeps Prev and Next, disabled, when there are no pages.
  const PagerLayout home = ComputePager(1, 0, true);
  EXPECT_TRUE(home.prevNextVisible);
  EXPECT_FALSE(home.prevEnabled);
  EXPECT_FALSE(home.nextEnabled);
  EXPECT_EQ(home.visibleCount, 2);
}

TEST(PagerArithmeticTest, SpacerCentresTheVisibleButtons) {
  EXPECT_EQ(PagerSpacerWidth(1200, 12), ((1200 - 10) - 360) / 2);
  EXPECT_EQ(PagerSpacerWidth(1200, 0), 595);
  EXPECT_EQ(PagerSpacerWidth(100, 12), 0);
}

std::string PagerXml(const std::string& prefix, const std::string& spacer,
                     const std::vector<std::string>& further) {
  std::string xml = "<VerticalLayout>";
  for (const auto& name : further) xml += "<Button name=\"" + name + "\" height=\"20\"/>";
  xml += "<HorizontalLayout height=\"24\"><Control name=\"" + spacer + "\"/>";
  xml += "<Option name=\"" + prefix + "Prev\" text=\"&lt;\"/>";
  for (int k = 1; k <= 10; ++k)
    xml += "<Option name=\"" + prefix + "PageIndex_" + std::to_string(k) + "\"/>";
  xml += "<Option name=\"" + prefix + "Next\"/><Control/></HorizontalLayout></VerticalLayout>";
  return xml;
}

class LibObjectViewTest : public skinui_test::UiTest {};

TEST_F(LibObjectViewTest, KnowledgePagerIsLaidOutOnItsControls) {
  auto window = Open(PagerXml("ouKnowlege_", "hluKnowlegePageIndexFillArea",
                              {"txtKnowlegeSearchResultKeyword", "btnKnowlegeSearchResultSearch",
                               "btnKnowlegeSearchResultGoBack"}),
                     1200, 900);
  const PagerNames names{"ouKnowlege_Prev",
                         "ouKnowlege_Next",
                         "ouKnowlege_PageIndex_",
                         "hluKnowlegePageIndexFillArea",
                         {"txtKnowlegeSearchResultKeyword", "btnKnowlegeSearchResultSearch",
                          "btnKnowlegeSearchResultGoBack"}};
  NamedPagerView view(window.get(), names);
  view.RefreshPageIndexButtons(13, 25);
  PaintManager& pm = window->GetPaintManager();
  EXPECT_EQ(view.GetCurrentPage(), 13);
  EXPECT_EQ(view.GetPageCount(), 25);
  for (int k = 1; k <= 10; ++k) {
    auto& b = pm.Find<Option>("ouKnowlege_PageIndex_" + std::to_string(k));
    EXPECT_EQ(Utf16ToUtf8(b.GetText()), std::to_string(7 + k));
    EXPECT_TRUE(b.IsVisible());
    EXPECT_EQ(b.IsSelected(), k == 6);
    EXPECT_EQ(b.GetFixedWidth(), 21);
    EXPECT_EQ(b.GetNormalImage(), "file='page_bkg.png' source='0,0,21,24'");
    EXPECT_EQ(b.GetPushedImage(), "file='page_bkg.png' source='43,0,63,24'");
  }
  auto& prev = pm.Find<Button>("ouKnowlege_Prev");
  EXPECT_TRUE(prev.GetText().empty());
  EXPECT_EQ(prev.GetDisabledImage(), "file='page_draw.png' source='0,0,21,24'");
  EXPECT_EQ(pm.Find<Button>("ouKnowlege_Next").GetHotImage(),
            "file='page_draw.png' source='63,0,84,24'");
  EXPECT_EQ(pm.FindControl("hluKnowlegePageIndexFillArea")->GetFixedWidth(), (1190 - 12 * 30) / 2);
  // The spacer centres the pager under the window.
  pm.UpdateLayout();
  const int left = pm.FindControl("ouKnowlege_Prev")->GetPos().left;
  EXPECT_EQ(left, (1190 - 12 * 30) / 2);

  view.RefreshPageIndexButtons(1, 1);
  EXPECT_FALSE(prev.IsVisible());
  EXPECT_FALSE(pm.FindControl("ouKnowlege_PageIndex_1")->IsVisible());
  view.RefreshPageIndexButtons(3, 8);
  EXPECT_TRUE(prev.IsEnabled());
  EXPECT_TRUE(pm.Find<Option>("ouKnowlege_PageIndex_3").IsSelected());
  EXPECT_FALSE(pm.FindControl("ouKnowlege_PageIndex_9")->IsVisible());
  view.RefreshPageIndexButtons(1, 0);
  EXPECT_FALSE(prev.IsVisible());
  EXPECT_FALSE(pm.FindControl("ouKnowlege_Next")->IsVisible());
  EXPECT_FALSE(Logged("no control named"));
}

TEST_F(LibObjectViewTest, EnableNavigationSwitchesThePagerAndTheSearchControls) {
  auto window = Open(PagerXml("ouAppMarket_", "hluAppMarketPageIndexFillArea",
                              {"txtAppMarketSearchEdit", "btnAppMarketSearch"}),
                     800, 600);
  const PagerNames names{"ouAppMarket_Prev",
                         "ouAppMarket_Next",
                         "ouAppMarket_PageIndex_",
                         "hluAppMarketPageIndexFillArea",
                         {"txtAppMarketSearchEdit", "btnAppMarketSearch"}};
  NamedPagerView view(window.get(), names);
  view.EnableNavigation(false);
  PaintManager& pm = window->GetPaintManager();
  for (const char* name :
       {"ouAppMarket_Prev", "ouAppMarket_Next", "ouAppMarket_PageIndex_1",
        "ouAppMarket_PageIndex_10", "txtAppMarketSearchEdit", "btnAppMarketSearch"}) {
    EXPECT_FALSE(pm.FindControl(name)->IsEnabled()) << name;
  }
  view.EnableNavigation(true);
  EXPECT_TRUE(pm.FindControl("btnAppMarketSearch")->IsEnabled());
  // RefreshPage repeats the stored numbers.
  view.RefreshPageIndexButtons(2, 3);
  pm.Find<Option>("ouAppMarket_PageIndex_1").Selected(true);
  view.RefreshPage();
  EXPECT_TRUE(pm.Find<Option>("ouAppMarket_PageIndex_2").IsSelected());
  EXPECT_FALSE(pm.Find<Option>("ouAppMarket_PageIndex_1").IsSelected());
}

TEST_F(LibObjectViewTest, MissingPagerControlsAreLoggedNotDereferenced) {
  auto window = Open("<VerticalLayout/>", 800, 600);
  const PagerNames names{
      "ouFAQ_Prev", "ouFAQ_Next", "ouFAQ_PageIndex_", "hluFAQPageIndexFillArea", {}};
  NamedPagerView view(window.get(), names);
  view.RefreshPageIndexButtons(2, 30);
  view.EnableNavigation(false);
  EXPECT_TRUE(Logged("ouFAQ_Prev"));
  EXPECT_TRUE(Logged("hluFAQPageIndexFillArea"));
  CLibObjectView base(window.get());
  base.RefreshPageIndexButtons(4, 9);  // the base does nothing
  EXPECT_EQ(base.GetCurrentPage(), 0);
}

}  // namespace
}  // namespace skinui
