#include <gtest/gtest.h>

#include "skinui/attribute_values.h"
#include "skinui/button.h"
#include "skinui/edit.h"
#include "skinui/label.h"
#include "skinui/list.h"
#include "skinui/list_container_element.h"
#include "skinui/option.h"
#include "skinui/progress.h"
#include "skinui/tab_layout.h"
#include "skinui/tile_layout.h"
#include "skinui/vertical_layout.h"
#include "ui_test_support.h"

namespace skinui {
namespace {

using skinui_test::UiTest;

TEST(ControlAttributesTest, EachClassKnowsItsOwnAndItsBasesAttributes) {
  Button button;
  button.SetAttribute("normalimage", "file='b.png' source='0,0,60,23'");
  button.SetAttribute("width", "96");
  button.SetAttribute("align", "centerbottom");
  EXPECT_EQ(button.GetNormalImage(), "file='b.png' source='0,0,60,23'");
  EXPECT_EQ(button.GetFixedWidth(), 96);
  EXPECT_EQ(button.GetTextFlags() & (text_flags::kCenter | text_flags::kBottom),
            text_flags::kCenter | text_flags::kBottom);

  Label label;
  try {
    label.SetAttribute("normalimage", "x.png");
    FAIL() << "a label has no state images";
  } catch (const AttributeError& e) {
    EXPECT_NE(std::string(e.what()).find("normalimage"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("LabelUI"), std::string::npos);
  }
  EXPECT_THROW(button.SetAttribute("height", "tall"), AttributeError);
  EXPECT_THROW(button.SetAttribute("bkimage", "file='x.png"), AttributeError);
}

TEST(ControlAttributesTest, TextAttributesAcceptUtf16) {
  Option option;
  option.SetAttribute("text", std::u16string_view(u"钢筋"));
  option.SetAttribute("group", "tabs");
  option.SetAttribute("selectedtextcolor", "#FFFFFFFF");
  EXPECT_EQ(option.GetText(), u"钢筋");
  EXPECT_EQ(option.GetGroup(), "tabs");
}

TEST(ProgressTest, ValueStaysInsideTheRangeAndFillsItsShare) {
  Progress progress;
  progress.SetAttribute("max", "200");
  progress.SetValue(250);
  EXPECT_EQ(progress.GetValue(), 200);
  progress.SetValue(-3);
  EXPECT_EQ(progress.GetValue(), 0);
  progress.SetPos({10, 0, 110, 10});
  progress.SetValue(50);
  EXPECT_EQ(progress.FilledRect(), (Rect{10, 0, 35, 10}));
}

TEST(EditTest, TypingIsCutToTheMaximumAndRefusedWhenReadOnly) {
  Edit edit;
  edit.SetAttribute("maxchar", "4");
  EXPECT_TRUE(edit.TypeText(u"123456"));
  EXPECT_EQ(edit.GetText(), u"1234");
  edit.SetAttribute("readonly", "true");
  EXPECT_FALSE(edit.TypeText(u"x"));
  EXPECT_EQ(edit.GetText(), u"1234");
}

class ControlLayoutTest : public UiTest {};

TEST_F(ControlLayoutTest, InsetAndChildPaddingOfARealTree) {
  auto window = Open(R"(<Window size="400,300">
      <VerticalLayout name="root" inset="10,10,10,10" childpadding="5">
        <HorizontalLayout name="bar" height="30">
          <Button name="a" width="50"/>
          <Control/>
          <Button name="b" width="40" padding="0,5,0,5"/>
        </HorizontalLayout>
        <Label name="body"/>
        <Button name="float" float="true" pos="300,250,380,280"/>
      </VerticalLayout></Window>)");
  PaintManager& pm = window->GetPaintManager();
  EXPECT_EQ(pm.FindControl("bar")->GetPos(), (Rect{10, 10, 390, 40}));
  EXPECT_EQ(pm.FindControl("a")->GetPos(), (Rect{10, 10, 60, 40}));
  EXPECT_EQ(pm.FindControl("b")->GetPos(), (Rect{350, 15, 390, 35}));
  EXPECT_EQ(pm.FindControl("body")->GetPos(), (Rect{10, 45, 390, 290}));
  EXPECT_EQ(pm.FindControl("float")->GetPos(), (Rect{300, 250, 380, 280}));
}

TEST_F(ControlLayoutTest, HiddenChildrenTakeNoSpace) {
  auto window = Open(R"(<VerticalLayout><Control name="x" height="100"/>
      <Control name="y"/></VerticalLayout>)");
  PaintManager& pm = window->GetPaintManager();
  EXPECT_EQ(pm.FindControl("y")->GetPos().top, 100);
  pm.FindControl("x")->SetVisible(false);
  pm.UpdateLayout();
  EXPECT_EQ(pm.FindControl("y")->GetPos().top, 0);
  EXPECT_TRUE(pm.FindControl("x")->GetPos().IsEmpty());
}

TEST_F(ControlLayoutTest, TabPagesShowOnlyTheSelectedPage) {
  auto window = Open(R"(<TabLayout name="tabs">
      <VerticalLayout name="p0"><Button name="b0"/></VerticalLayout>
      <VerticalLayout name="p1"><Button name="b1"/></VerticalLayout></TabLayout>)");
  PaintManager& pm = window->GetPaintManager();
  auto& tabs = pm.Find<TabLayout>("tabs");
  EXPECT_TRUE(pm.FindControl("b0")->IsShown());
  EXPECT_FALSE(pm.FindControl("b1")->IsShown());
  EXPECT_TRUE(pm.FindControl("b1")->IsVisible());  // its own flag is untouched
  EXPECT_TRUE(tabs.SelectItem(1));
  EXPECT_TRUE(pm.FindControl("b1")->IsShown());
  EXPECT_FALSE(pm.FindControl("b0")->IsShown());
  EXPECT_FALSE(tabs.SelectItem(2));
  EXPECT_EQ(tabs.GetCurSel(), 1);
  // Both pages span the tab layout.
  EXPECT_EQ(pm.FindControl("p0")->GetPos(), pm.FindControl("p1")->GetPos());
  // A click lands on the shown page only.
  window->Click(200, 150);
  EXPECT_EQ(window->Types().back(), "click:b1");
}

TEST_F(ControlLayoutTest, TileColumnsFollowTheAttribute) {
  auto window = Open(R"(<TileLayout name="grid" columns="4">
      <Button name="t0" width="96" height="96"/><Button name="t1" width="96" height="96"/>
      <Button name="t2" width="96" height="96"/><Button name="t3" width="96" height="96"/>
      <Button name="t4" width="96" height="96"/></TileLayout>)",
                     400, 300);
  PaintManager& pm = window->GetPaintManager();
  EXPECT_EQ(pm.FindControl("t3")->GetPos(), (Rect{300, 0, 396, 96}));
  EXPECT_EQ(pm.FindControl("t4")->GetPos(), (Rect{0, 96, 96, 192}));
  pm.Find<TileLayout>("grid").SetAttribute("columns", "2");
  pm.UpdateLayout();
  EXPECT_EQ(pm.FindControl("t2")->GetPos(), (Rect{0, 96, 96, 192}));
}

TEST_F(ControlLayoutTest, ListScrollsWithTheWheelWhenItsBarIsOn) {
  std::string rows;
  for (int i = 0; i < 10; ++i) {
    rows += "<ListContainerElement name=\"row" + std::to_string(i) + "\" height=\"50\"/>";
  }
  auto window = Open("<List name=\"list\" vscrollbar=\"true\">" + rows + "</List>", 200, 200);
  PaintManager& pm = window->GetPaintManager();
  auto& list = pm.Find<List>("list");
  EXPECT_TRUE(list.IsScrollBarShown());
  EXPECT_EQ(pm.FindControl("row0")->GetPos(), (Rect{0, 0, 192, 50}));  // bar takes 8 pixels
  window->SendMessage(WM_MOUSEWHEEL,
                      static_cast<std::uintptr_t>(static_cast<std::uint16_t>(-120)) << 16,
                      MakePointParam(50, 50));
  EXPECT_EQ(list.GetScrollY(), Container::kWheelStep);
  EXPECT_EQ(pm.FindControl("row0")->GetPos().top, -Container::kWheelStep);
  list.SetScrollY(10000);
  EXPECT_EQ(list.GetScrollY(), 300);  // 500 content − 200 view
  EXPECT_EQ(pm.FindControl("row9")->GetPos().bottom, 200);
  list.SelectItem(0);
  EXPECT_EQ(list.GetScrollY(), 0);  // the selected row is scrolled into view
}

TEST_F(ControlLayoutTest, ListItemClickSelectsAndNotifies) {
  auto window = Open(R"(<List name="list">
      <ListContainerElement name="r0" height="40"><Label name="l0"/></ListContainerElement>
      <ListContainerElement name="r1" height="40"><Button name="b1" width="30"/><Label/></ListContainerElement>
      </List>)");
  window->seen.clear();
  window->Click(100, 20);  // on the label of row 0: the row takes the click
  EXPECT_EQ(window->Types(), (std::vector<std::string>{"itemclick:r0", "itemselect:list"}));
  window->seen.clear();
  window->Click(10, 60);  // the button of row 1 takes its own click
  EXPECT_EQ(window->Types(), (std::vector<std::string>{"click:b1"}));
  EXPECT_EQ(window->GetPaintManager().Find<List>("list").GetCurSel(), 0);
}

TEST_F(ControlLayoutTest, OptionGroupNotifiesOnlyTheNewlySelectedOption) {
  auto window = Open(R"(<HorizontalLayout>
      <Option name="o1" group="g" selected="true"/><Option name="o2" group="g"/>
      <Option name="solo"/></HorizontalLayout>)",
                     300, 50);
  PaintManager& pm = window->GetPaintManager();
  window->seen.clear();
  window->ClickControl("o2");
  EXPECT_EQ(window->Types(), (std::vector<std::string>{"click:o2", "selectchanged:o2"}));
  EXPECT_FALSE(pm.Find<Option>("o1").IsSelected());
  window->seen.clear();
  window->ClickControl("o2");  // already selected: a click, no change
  EXPECT_EQ(window->Types(), (std::vector<std::string>{"click:o2"}));
  window->seen.clear();
  window->ClickControl("solo");
  window->ClickControl("solo");  // without a group it toggles, notifying both changes
  EXPECT_EQ(window->Types(), (std::vector<std::string>{"click:solo", "selectchanged:solo",
                                                       "click:solo", "selectchanged:solo"}));
  EXPECT_FALSE(pm.Find<Option>("solo").IsSelected());
}

TEST_F(ControlLayoutTest, AClickHandlerThatSetsAnOptionsSelectionHasTheLastWord) {
  struct Pager : INotifyUI {
    PaintManager* pm;
    void Notify(TNotifyUI& msg) override {
      if (msg.sType == "click") pm->Find<Option>("page3").Selected(true);
    }
  } pager;
  auto window = Open(R"(<HorizontalLayout><Option name="page3"/></HorizontalLayout>)", 100, 30);
  pager.pm = &window->GetPaintManager();
  window->GetPaintManager().AddNotifier(&pager);
  window->ClickControl("page3");
  EXPECT_TRUE(window->GetPaintManager().Find<Option>("page3").IsSelected());
  window->GetPaintManager().RemoveNotifier(&pager);
}

TEST_F(ControlLayoutTest, HandlersMayRemoveTheControlThatNotifies) {
  struct Emptier : INotifyUI {
    PaintManager* pm;
    void Notify(TNotifyUI& msg) override {
      if (msg.sType == "itemclick") pm->Find<Container>("list").RemoveAll();
      if (msg.sType == "click") pm->Find<Container>("bar").RemoveAll();
    }
  } emptier;
  auto window = Open(R"(<VerticalLayout><List name="list" height="100">
      <ListContainerElement name="r0" height="40"/></List>
      <HorizontalLayout name="bar"><Option name="op"/></HorizontalLayout></VerticalLayout>)");
  emptier.pm = &window->GetPaintManager();
  window->GetPaintManager().AddNotifier(&emptier);
  window->Click(10, 10);
  EXPECT_EQ(window->GetPaintManager().Find<List>("list").GetCount(), 0);
  EXPECT_EQ(window->GetPaintManager().Find<List>("list").GetCurSel(), -1);
  ASSERT_NE(window->GetPaintManager().FindControl("op"), nullptr);
  window->Click(10, 150);
  EXPECT_EQ(window->GetPaintManager().FindControl("op"), nullptr);
  window->GetPaintManager().RemoveNotifier(&emptier);
}

}  // namespace
}  // namespace skinui
