// The web tabs and web windows on a headless window thread with the real support library, and
// the pure pieces of the secondary windows (the shadow bitmap, the menu's place, the login
// fields of the pages).
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "account/user_session.h"
#include "core/window_messages.h"
#include "frame_test_support.h"
#include "platform/code_page.h"
#include "skinui/builder.h"
#include "skinui/button.h"
#include "skinui/edit.h"
#include "skinui/list.h"
#include "skinui/paint_manager.h"
#include "skinui/web_browser.h"
#include "support/fake_feature_host.h"
#include "ui/make_shadow.h"
#include "ui/menu_placement.h"
#include "ui/web_page_address.h"
#include "ui/web_pages.h"
#include "ui/wnd_shadow.h"

namespace ui_testing {
namespace {

using namespace skinui;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class WebPagesTest : public ::testing::Test {
 protected:
  WebPagesTest() {
    host_.SetMessageHandler(
        [this](std::uint32_t message, platform::Payload&) { posted_.push_back(message); });
    pages_.SetSession(session_);
  }
  ~WebPagesTest() override { ui_.loop.waitIdle(5000); }

  WebBrowser& Tab(const std::string& name) {
    return host_.OwnerWindow().GetPaintManager().Find<WebBrowser>(name);
  }
  bool Shown(const std::string& name) {
    return host_.OwnerWindow().GetPaintManager().Find<Control>(name).IsVisible();
  }
  void LogIn(std::int32_t uid, std::string sign) {
    session_->Update([&](account::SessionState& s) {
      s.loggedIn = true;
      s.uid = uid;
      s.loginSign = std::move(sign);
    });
  }
  Window* WindowOf(const std::string& className) {
    return ui_.context.FindWindowByClass(className);
  }

  testing_support::TempDir dir_;
  TestLibrary lib_{dir_.path()};
  testing_support::HeadlessUi ui_{StagedSkin()};
  testing_support::FakeFeatureHost host_{ui_.context, lib_.binding(), dir_.path(),
                                         ReadFile(StagedSkin() + "/main_frame.xml")};
  std::shared_ptr<account::UserSession> session_ = std::make_shared<account::UserSession>();
  ui::WebPages pages_{host_};
  std::vector<std::uint32_t> posted_;
};

TEST_F(WebPagesTest, TheQuestionTabCarriesTheLoginAndEveryLoadItsOwnAddress) {
  pages_.DoRefreshForFAQ();
  const std::string anonymous = Tab("ie_for_faq").GetUrl();
  EXPECT_NE(anonymous.find("/zelk/QuestionAndAnswer.aspx?uid=0&loginSign="), std::string::npos)
      << anonymous;
  EXPECT_TRUE(Shown("hluLoadingForFAQ"));
  EXPECT_FALSE(Shown("hluWebBrowserForFAQ"));
  pages_.DoRefreshForFAQ();
  EXPECT_NE(Tab("ie_for_faq").GetUrl(), anonymous);

  LogIn(42, "s1gn");
  pages_.DoRefreshForFAQ();
  EXPECT_NE(Tab("ie_for_faq").GetUrl().find("uid=42&loginSign=s1gn"), std::string::npos);
  // A login without its sign, or with an id below 0, is sent as no login.
  LogIn(42, "");
  pages_.DoRefreshForFAQ();
  EXPECT_NE(Tab("ie_for_faq").GetUrl().find("uid=0&loginSign="), std::string::npos);
  LogIn(-5, "s1gn");
  pages_.DoRefreshForFAQ();
  EXPECT_NE(Tab("ie_for_faq").GetUrl().find("uid=0&loginSign=s1gn"), std::string::npos);

  pages_.OnNavigateComplete(Tab("ie_for_faq"));
  EXPECT_FALSE(Shown("hluLoadingForFAQ"));
  EXPECT_TRUE(Shown("hluWebBrowserForFAQ"));
}

TEST_F(WebPagesTest, AFailingTabShowsTheErrorPageLogsOnceAndItsRefreshLoadsTheServicePage) {
  pages_.DoRefreshForVideoNavigate();
  WebBrowser& video = Tab("ie_for_video");
  const std::string service = video.GetUrl();
  pages_.OnNavigateError(video, service, 503);
  const std::string errorPage = "file://" + dir_.path() + "/NavigateURLError.html";
  EXPECT_EQ(video.GetUrl(), errorPage);
  EXPECT_TRUE(Shown("hluWebBrowserForVideo"));
  ASSERT_EQ(host_.logLines.size(), 1u);
  EXPECT_EQ(platform::Utf16ToUtf8(host_.logLines[0]),
            "浏览器(ie_for_video)访问网址(" + service + ")失败，状态码=503");
  // The error page missing as well stops there.
  pages_.OnNavigateError(video, errorPage, 0);
  EXPECT_EQ(host_.logLines.size(), 1u);

  // Only the first text counts, compared exactly; nothing else reloads.
  pages_.OnPageCommand(video, {});
  pages_.OnPageCommand(video, {u"refreshthispage"});
  pages_.OnPageCommand(video, std::vector<std::u16string>(10000, u"x"));
  EXPECT_EQ(video.GetUrl(), errorPage);
  pages_.OnPageCommand(video, {u"RefreshThisPage", u"ignored"});
  EXPECT_NE(video.GetUrl().find("/zelk/VideoShow.aspx"), std::string::npos);
  EXPECT_NE(video.GetUrl(), service);
}

TEST_F(WebPagesTest, TheUsersWindowsOpenOnlyLoggedInAndClosingTheProfileReloadsTheAvatar) {
  pages_.CreateWebWindows();
  pages_.ShowUserProfileWindow();
  pages_.ShowUserMessageWindow();
  ASSERT_NE(WindowOf("UIUserProfileFrame"), nullptr);
  EXPECT_FALSE(WindowOf("UIUserProfileFrame")->IsVisible());
  EXPECT_FALSE(WindowOf("UIUserMessageFrame")->IsVisible());

  LogIn(7, "abc");
  pages_.ShowUserProfileWindow();
  Window& profile = *WindowOf("UIUserProfileFrame");
  EXPECT_TRUE(profile.IsVisible());
  EXPECT_EQ(profile.GetCaption(), u"个人中心");
  auto& browser = profile.GetPaintManager().Find<WebBrowser>("ie_for_user_profile");
  EXPECT_NE(browser.GetUrl().find("/zelk/UserDataModify.aspx?uid=7&loginSign=abc"),
            std::string::npos);
  EXPECT_EQ(browser.GetHostInfoFlags(), DOCHOSTUIFLAG_NO3DBORDER);

  profile.GetPaintManager().SendNotify(profile.GetPaintManager().FindControl("closebtn"), "click");
  EXPECT_FALSE(profile.IsVisible());
  ui_.loop.waitIdle(5000);
  ui_.loop.pumpFor(0);
  EXPECT_EQ(posted_, std::vector<std::uint32_t>{core::WM_AVATAR_RELOAD});

  pages_.ShowUserMessageWindow();
  EXPECT_TRUE(WindowOf("UIUserMessageFrame")->IsVisible());
}

TEST_F(WebPagesTest, TheIntroductionShowsOnceForItsMarkAndItsPageClosesIt) {
  pages_.DoShowIntroduce();
  EXPECT_EQ(WindowOf("UIIntroduceFrame"), nullptr);

  std::ofstream(dir_.file("judgeUpdate.txt")) << "2\n";
  pages_.DoShowIntroduce();
  Window* introduce = WindowOf("UIIntroduceFrame");
  ASSERT_NE(introduce, nullptr);
  EXPECT_TRUE(introduce->IsVisible());
  EXPECT_NE(ReadFile(dir_.file("judgeUpdate.txt")).substr(0, 1), "2");

  introduce->GetPaintManager().UpdateLayout();
  auto& browser = introduce->GetPaintManager().Find<WebBrowser>("ie_for_Introduce");
  EXPECT_EQ(browser.GetUrl(), "file://" + dir_.path() + "/Introduce/Introduce.html");
  browser.OnPageCommand({u"CloseThisPage"});
  EXPECT_FALSE(introduce->IsVisible());
}

// ---------------------------------------------------------------------------------------------

std::vector<ui::ShadowSpan> Rectangle(int width, int height) {
  return std::vector<ui::ShadowSpan>(static_cast<std::size_t>(height), {0, width});
}

int Alpha(std::uint32_t pixel) {
  return static_cast<int>(pixel >> 24);
}

TEST(MakeShadowTest, SizeFourWithoutOffsetReachesFourPixelsBeyondEverySide) {
  ui::ShadowLook look;
  look.size = 4;
  look.xOffset = 0;
  look.yOffset = 0;
  const ui::ShadowImage image = ui::MakeShadow(Rectangle(20, 10), 20, look);
  ASSERT_EQ(image.width, 28);
  ASSERT_EQ(image.height, 18);
  // The outermost column and row on each side, level with the window's middle.
  EXPECT_GT(Alpha(image.At(0, 9)), 0);
  EXPECT_GT(Alpha(image.At(27, 9)), 0);
  EXPECT_GT(Alpha(image.At(14, 0)), 0);
  EXPECT_GT(Alpha(image.At(14, 17)), 0);
  // Softer outwards, and nothing where the window itself stands.
  EXPECT_LT(Alpha(image.At(0, 9)), Alpha(image.At(3, 9)));
  for (int y = 4; y < 14; ++y) {
    for (int x = 4; x < 24; ++x) ASSERT_EQ(image.At(x, y), 0u) << x << "," << y;
  }
  // Black premultiplied: the colour bytes stay 0.
  EXPECT_EQ(image.At(3, 9) & 0xFFFFFFu, 0u);
}

TEST(MakeShadowTest, SharpnessAndDarknessAtTheirEnds) {
  ui::ShadowLook look;
  look.size = 3;
  look.xOffset = 0;
  look.yOffset = 0;
  look.colour = 0xFF0000;

  look.darkness = 0;
  for (std::uint32_t pixel : ui::MakeShadow(Rectangle(12, 8), 12, look).pixels) {
    ASSERT_EQ(pixel, 0u);
  }

  // No soft edge: every shadow pixel has the solid alpha, red premultiplied by it.
  look.darkness = 255;
  look.sharpness = 0;
  const ui::ShadowImage hard = ui::MakeShadow(Rectangle(12, 8), 12, look);
  EXPECT_EQ(hard.At(1, 6), 0xFFFF0000u);
  EXPECT_EQ(hard.At(0, 6), 0xFFFF0000u);

  // The softest edge fades to below half the darkness at the outer border.
  look.darkness = 200;
  look.sharpness = 20;
  const ui::ShadowImage soft = ui::MakeShadow(Rectangle(12, 8), 12, look);
  EXPECT_LT(Alpha(soft.At(0, 6)), 100);
  const std::uint32_t pixel = soft.At(0, 6);
  EXPECT_EQ((pixel >> 16) & 0xFF, pixel >> 24) << "red is premultiplied by the alpha";

  // A window larger than the negative size leaves no bitmap.
  look.size = -10;
  EXPECT_TRUE(ui::MakeShadow(Rectangle(12, 8), 12, look).pixels.empty());
}

TEST(MakeShadowTest, AnOffsetShadowShowsBesideTheWindowAndRoundCornersStayClear) {
  ui::ShadowLook look;  // size 0, offset 5, 5
  const ui::ShadowImage image = ui::MakeShadow(Rectangle(30, 20), 30, look);
  ASSERT_EQ(image.width, 30);
  // Bottom-right, beyond the window (it covers the bitmap up to 25, 15): the soft edge, fading.
  EXPECT_GT(Alpha(image.At(26, 16)), Alpha(image.At(27, 17)));
  EXPECT_GT(Alpha(image.At(27, 17)), 0);
  EXPECT_EQ(Alpha(image.At(29, 19)), 0);
  // Top-left: the window covers it.
  EXPECT_EQ(image.At(2, 2), 0u);

  const skinui::Size size{10, 10};
  const auto rows = ui::ShapeRows(size, [&](int x, int y) {
    return ui::InsideRoundedWindow(size, {6, 6}, x, y);
  });
  EXPECT_GT(rows[0].left, 0);
  EXPECT_EQ(rows[5].left, 0);
  EXPECT_EQ(rows[5].right, 10);
}

TEST(WndShadowTest, ValuesOutsideTheirRangesAreRefusedAndChangeNothing) {
  ui::CWndShadow shadow;
  EXPECT_FALSE(shadow.SetSize(21));
  EXPECT_FALSE(shadow.SetSize(-21));
  EXPECT_FALSE(shadow.SetDarkness(256));
  EXPECT_FALSE(shadow.SetDarkness(-1));
  EXPECT_FALSE(shadow.SetSharpness(21));
  EXPECT_FALSE(shadow.SetPosition(0, 21));
  EXPECT_FALSE(shadow.SetColor(0x1000000));
  const ui::ShadowLook& look = shadow.Look();
  EXPECT_EQ(look.size, 0);
  EXPECT_EQ(look.darkness, 150);
  EXPECT_EQ(look.sharpness, 5);
  EXPECT_EQ(look.xOffset, 5);
  EXPECT_EQ(look.yOffset, 5);
  EXPECT_TRUE(shadow.SetSize(-20));
  EXPECT_TRUE(shadow.SetDarkness(255));
  EXPECT_EQ(shadow.Look().size, -20);
}

TEST(MenuPlacementTest, AMenuOpenedAtTheBottomRightStaysInsideTheWorkArea) {
  const skinui::Rect work{0, 0, 1280, 920};
  EXPECT_EQ(ui::PlaceMenu({100, 100}, {168, 260}, work), (skinui::Rect{100, 100, 268, 360}));
  EXPECT_EQ(ui::PlaceMenu({1279, 919}, {168, 260}, work), (skinui::Rect{1112, 660, 1280, 920}));
  // Taller than the work area: from its top.
  EXPECT_EQ(ui::PlaceMenu({10, 500}, {100, 1000}, work).top, 0);
}

// Every layout of the secondary windows builds and has the controls its window looks up.
TEST(SecondaryLayoutTest, EachWindowsLayoutHasItsControls) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> layouts = {
      {"FAQSubmitQuestionForm.xml", {"ie_for_faq_question"}},
      {"FAQQuestionForm.xml", {"ie_for_faq_anwser"}},
      {"FeedBackForm.xml", {"ie_for_feedback", "refreshbtn"}},
      {"UserProfileForm.xml", {"ie_for_user_profile", "refreshbtn"}},
      {"UserMessageForm.xml", {"ie_for_user_message", "refreshbtn"}},
      {"IntroduceForm.xml", {"ie_for_Introduce"}},
      {"AboutForm.xml", {"lblCaption", "btnOK"}},
      {"ContactForm.xml", {"btnOK"}},
      {"OptionForm.xml",
       {"txtKnowlegeDownloadStorePath", "btnSelectPathForKnowlegeDownloadStorePath", "btnOK",
        "btnCancel"}},
  };
  for (const auto& [file, names] : layouts) {
    PaintManager pm;
    std::vector<std::string> warnings;
    BuildOptions options;
    options.resourceDir = StagedSkin();
    options.manager = &pm;
    options.log = [&](const std::string& line) { warnings.push_back(line); };
    pm.AttachDialog(Builder(options).Create(file));
    EXPECT_TRUE(warnings.empty()) << file << ": " << warnings.front();
    EXPECT_NE(pm.TryFind<Control>("Root"), nullptr) << file;
    for (const char* button : {"closebtn", "minbtn", "maxbtn", "restorebtn"}) {
      EXPECT_NE(pm.TryFind<Button>(button), nullptr) << file << " " << button;
    }
    for (const std::string& name : names) {
      EXPECT_NE(pm.FindControl(name), nullptr) << file << " " << name;
    }
    if (file.find("Form.xml") != std::string::npos && names.front().starts_with("ie_for")) {
      EXPECT_NE(pm.TryFind<WebBrowser>(names.front()), nullptr) << file;
      EXPECT_NE(pm.FindControl("hluLoading"), nullptr) << file;
      EXPECT_NE(pm.FindControl("hluWebBrowser"), nullptr) << file;
    }
  }
  for (const auto& [file, prefix, count] :
       {std::tuple{"main_menu.xml", "main_menu_item_", 8},
        std::tuple{"ucenter_menu.xml", "ucenter_menu_item_", 4}}) {
    PaintManager pm;
    BuildOptions options;
    options.resourceDir = StagedSkin();
    options.manager = &pm;
    pm.AttachDialog(Builder(options).Create(file));
    auto* list = pm.TryFind<List>("menu_list");
    ASSERT_NE(list, nullptr) << file;
    ASSERT_EQ(list->GetCount(), count) << file;
    for (int i = 0; i < count; ++i) {
      EXPECT_TRUE(list->GetItemAt(i)->GetName().starts_with(prefix)) << file;
    }
  }
}

}  // namespace
}  // namespace ui_testing
