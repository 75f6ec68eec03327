#include "skinui/builder.h"

#include <gtest/gtest.h>

#include "skinui/button.h"
#include "skinui/control_registry.h"
#include "skinui/label.h"
#include "skinui/paint_manager.h"
#include "skinui/vertical_layout.h"
#include "support/temp_dir.h"

namespace skinui {
namespace {

std::string ErrorOf(Builder& builder, const std::string& xml, const std::string& name = "bad.xml") {
  try {
    builder.CreateFromString(xml, name);
  } catch (const LayoutError& e) {
    return e.what();
  }
  return "";
}

class BuilderTest : public ::testing::Test {
 protected:
  BuilderTest() {
    options.resourceDir = dir.path();
    options.log = [this](const std::string& line) { warnings.push_back(line); };
  }
  testing_support::TempDir dir;
  BuildOptions options;
  std::vector<std::string> warnings;
};

TEST_F(BuilderTest, UnknownElementNamesFileLineAndElement) {
  Builder builder(options);
  const std::string error =
      ErrorOf(builder, "<VerticalLayout>\n  <Frobnicator/>\n</VerticalLayout>");
  EXPECT_NE(error.find("bad.xml:2"), std::string::npos) << error;
  EXPECT_NE(error.find("<Frobnicator>"), std::string::npos) << error;
  EXPECT_NE(error.find("unknown element"), std::string::npos) << error;
}

TEST_F(BuilderTest, UnknownAttributeNamesElementAndAttribute) {
  Builder builder(options);
  const std::string error = ErrorOf(builder, "<Label name=\"x\" colour=\"#FF000000\"/>");
  EXPECT_NE(error.find("bad.xml:1: element <Label>"), std::string::npos) << error;
  EXPECT_NE(error.find("'colour'"), std::string::npos) << error;
}

TEST_F(BuilderTest, BadNumbersAndMalformedDocumentsAreErrors) {
  Builder builder(options);
  const std::string error = ErrorOf(builder, "<Button width=\"ten\"/>");
  EXPECT_NE(error.find("'width'"), std::string::npos) << error;
  EXPECT_NE(error.find("'ten'"), std::string::npos) << error;
  EXPECT_NE(ErrorOf(builder, "<Window size=\"1,2,3\"><Label/></Window>").find("bad size"),
            std::string::npos);
  EXPECT_NE(ErrorOf(builder, "<VerticalLayout><Label></VerticalLayout>").find("not a layout"),
            std::string::npos);
  EXPECT_NE(ErrorOf(builder, "<Label><Button/></Label>").find("cannot hold"), std::string::npos);
  EXPECT_NE(ErrorOf(builder, "<Window><Label/><Label/></Window>").find("one root"),
            std::string::npos);
  EXPECT_NE(ErrorOf(builder, "").find("not a layout"), std::string::npos);
}

TEST_F(BuilderTest, MissingImageIsLoggedWithFileAndControlName) {
  dir.write("present.png", "not really a picture");
  Builder builder(options);
  auto control = builder.CreateFromString(
      "<HorizontalLayout><Button name=\"btnA\" normalimage=\"present.png\" "
      "hotimage=\"file='absent.png' source='0,0,1,1'\"/></HorizontalLayout>",
      "skin.xml");
  ASSERT_NE(control, nullptr);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("skin.xml:1"), std::string::npos) << warnings[0];
  EXPECT_NE(warnings[0].find("btnA"), std::string::npos) << warnings[0];
  EXPECT_NE(warnings[0].find("absent.png"), std::string::npos) << warnings[0];
}

TEST_F(BuilderTest, WindowAttributesAndFontsGoToThePaintManager) {
  PaintManager pm;
  options.manager = &pm;
  Builder builder(options);
  auto root = builder.CreateFromString(
      "<Window size=\"500,300\" caption=\"0,0,0,32\" sizebox=\"4,4,6,6\" roundcorner=\"5,5\" "
      "mininfo=\"400,200\"><Font id=\"1\" name=\"宋体\" size=\"14\" bold=\"true\"/>"
      "<Font id=\"2\" name=\"微软雅黑\" size=\"13\" default=\"true\"/>"
      "<Label name=\"l\" font=\"1\" text=\"中文\"/></Window>");
  EXPECT_EQ(pm.GetInitSize(), (Size{500, 300}));
  EXPECT_EQ(pm.GetCaptionRect(), (Rect{0, 0, 0, 32}));
  EXPECT_EQ(pm.GetSizeBox(), (Rect{4, 4, 6, 6}));
  EXPECT_EQ(pm.GetRoundCorner(), (Size{5, 5}));
  EXPECT_EQ(pm.GetMinInfo(), (Size{400, 200}));
  EXPECT_EQ(pm.GetFont(1).name, "宋体");
  EXPECT_TRUE(pm.GetFont(1).bold);
  EXPECT_EQ(pm.GetFont(-1).size, 13);
  EXPECT_EQ(root->GetText(), u"中文");
  EXPECT_NE(ErrorOf(builder, "<Window><Font id=\"x\"/><Label/></Window>").find("<Font>"),
            std::string::npos);
}

TEST_F(BuilderTest, FilesIncludesAndUtf8NumericReferences) {
  dir.write("row.xml",
            "<HorizontalLayout name=\"row\"><Label name=\"t\" "
            "text=\"&#38050;&#31563;\"/></HorizontalLayout>");
  dir.write("main.xml",
            "<?xml version=\"1.0\" encoding=\"utf-8\"?><Window><VerticalLayout>"
            "<Include source=\"row.xml\"/></VerticalLayout></Window>");
  dir.write("loop.xml", "<Include source=\"loop.xml\"/>");
  Builder builder(options);
  auto root = builder.Create("main.xml");
  ASSERT_NE(root, nullptr);
  ASSERT_NE(root->FindByName("t"), nullptr);
  EXPECT_EQ(root->FindByName("t")->GetText(), u"钢筋");
  EXPECT_THROW(builder.Create("loop.xml"), LayoutError);
  EXPECT_THROW(builder.Create("absent.xml"), LayoutError);
  EXPECT_EQ(builder.CreateOrLog("absent.xml"), nullptr);
  EXPECT_FALSE(warnings.empty());
}

TEST_F(BuilderTest, CallbackCreatesTheWindowsOwnElements) {
  struct RowCallback : IDialogBuilderCallback {
    std::unique_ptr<Control> CreateControl(std::string_view element) override {
      if (element != "AppRow") return nullptr;
      auto row = std::make_unique<VerticalLayout>();
      row->SetUserData("made by callback");
      return row;
    }
  } callback;
  options.callback = &callback;
  Builder builder(options);
  auto root = builder.CreateFromString("<AppRow name=\"r\"><Button name=\"b\"/></AppRow>");
  EXPECT_EQ(root->GetUserData(), "made by callback");
  EXPECT_NE(root->FindByName("b"), nullptr);
}

TEST_F(BuilderTest, HostileInputIsRefusedOrCleanedNotCrashedOn) {
  Builder builder(options);
  std::string deep;
  for (int i = 0; i < 300; ++i) deep += "<VerticalLayout>";
  for (int i = 0; i < 300; ++i) deep += "</VerticalLayout>";
  EXPECT_NE(ErrorOf(builder, deep).find("nest too deep"), std::string::npos);
  // Invalid UTF-8 in a text becomes replacement characters.
  auto label = builder.CreateFromString(std::string("<Label text=\"a\xff\xfe") + "b\"/>");
  EXPECT_EQ(label->GetText().front(), u'a');
  EXPECT_EQ(label->GetText().back(), u'b');
  EXPECT_NE(label->GetText().find(u'\uFFFD'), std::u16string::npos);
  EXPECT_NE(ErrorOf(builder, "<Button width=\"99999999999999999999\"/>").find("bad number"),
            std::string::npos);
  EXPECT_NE(ErrorOf(builder, "<Include/>").find("no 'source'"), std::string::npos);
}

TEST(ControlRegistryTest, KnowsTheLibraryElements) {
  const ControlRegistry& registry = ControlRegistry::Default();
  for (const char* name : {"Control", "VerticalLayout", "HorizontalLayout", "TabLayout",
                           "TileLayout", "List", "ListContainerElement", "Button", "Option",
                           "Label", "Text", "Edit", "Combo", "Progress", "WebBrowser"}) {
    EXPECT_TRUE(registry.Knows(name)) << name;
  }
  EXPECT_EQ(registry.Create("Button")->GetClass(), "ButtonUI");
  EXPECT_EQ(registry.Create("Nope"), nullptr);
}

}  // namespace
}  // namespace skinui
