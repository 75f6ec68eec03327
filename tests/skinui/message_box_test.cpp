#include "skinui/lib_message_box.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "skinui/button.h"
#include "skinui/container.h"
#include "skinui/lib_popup_notify_form.h"
#include "skinui/text_utf.h"
#include "ui_test_support.h"

namespace skinui {
namespace {

std::string StagedSkin() {
  const char* app = std::getenv("ZELK_APP_DIR");
  return std::string(app != nullptr ? app : ".") + "/Skin/Zelk";
}

// Runs a function on the window thread when its posted message is handled: the way a test
// answers a box that waits.
class Action : public platform::MessageTarget {
 public:
  explicit Action(platform::MessageLoop& loop) : loop_(loop), id_(loop.addTarget(*this)) {}
  ~Action() override { loop_.removeTarget(id_); }
  void Later(std::function<void()> work) {
    work_.push_back(std::move(work));
    loop_.post(id_, 1);
  }
  void onMessage(platform::Message&) override {
    auto work = std::move(work_.front());
    work_.erase(work_.begin());
    work();
  }

 private:
  platform::MessageLoop& loop_;
  platform::WindowId id_;
  std::vector<std::function<void()>> work_;
};

class MessageBoxTest : public skinui_test::UiTest {
 protected:
  MessageBoxTest() : UiTest(StagedSkin()), action(loop) {}

  CLibMessageBox& Box() {
    auto* box = dynamic_cast<CLibMessageBox*>(context.SharedWindow(CLibMessageBox::kSharedKey));
    EXPECT_NE(box, nullptr);
    return *box;
  }
  void ClickBoxButton(const std::string& name) {
    CLibMessageBox& box = Box();
    box.GetPaintManager().UpdateLayout();
    const Point c = box.GetPaintManager().FindControl(name)->GetPos().Center();
    box.SendMessage(WM_LBUTTONDOWN, 0, MakePointParam(c.x, c.y));
    box.SendMessage(WM_LBUTTONUP, 0, MakePointParam(c.x, c.y));
  }
  std::vector<std::string> VisibleButtons() {
    std::vector<std::string> texts;
    for (const char* name : {"btnOK", "btnCancel"}) {
      Control* b = Box().GetPaintManager().FindControl(name);
      if (b->IsVisible()) texts.push_back(name + std::string("=") + Utf16ToUtf8(b->GetText()));
    }
    return texts;
  }

  Action action;
};

TEST_F(MessageBoxTest, InformationBoxReturnsAtOnceAndStaysUpUntilOk) {
  EXPECT_EQ(ShowLibMessageBox(nullptr, 0, 0, u"保存成功", 160, false), 0);
  CLibMessageBox& box = Box();
  EXPECT_TRUE(box.IsVisible());
  EXPECT_EQ(box.GetResult(), -1);
  EXPECT_EQ(box.GetClientRect().Height(), 160);
  loop.waitIdle(1000);  // windowinit of the box
  EXPECT_TRUE(box.IsInitialised());
  EXPECT_TRUE(box.IsVisible());
  EXPECT_EQ(VisibleButtons(), (std::vector<std::string>{"btnOK=确定"}));
  ClickBoxButton("btnOK");
  EXPECT_FALSE(box.IsVisible());
  EXPECT_EQ(box.GetResult(), 1);
  EXPECT_FALSE(Logged("no control named"));
  EXPECT_FALSE(Logged("cannot be loaded"));
}

TEST_F(MessageBoxTest, QuestionBoxAnswersOkCancelAndClose) {
  action.Later([this] { ClickBoxButton("btnOK"); });
  EXPECT_EQ(ShowLibMessageBox(nullptr, 3, 3, u"确定要关闭Tamsel？", 160, false), 1);
  action.Later([this] { ClickBoxButton("btnCancel"); });
  EXPECT_EQ(ShowLibMessageBox(nullptr, 3, 3, u"确定要关闭Tamsel？", 160, false), 0);
  action.Later([this] { ClickBoxButton("closebtn"); });
  EXPECT_EQ(ShowLibMessageBox(nullptr, 3, 3, u"确定要关闭Tamsel？", 160, false), 0);
  EXPECT_FALSE(Box().IsVisible());
  // One window, reused.
  int boxes = 0;
  for (Window* w : context.Windows()) boxes += w->GetWindowClassName() == "UIMessageBoxFrame";
  EXPECT_EQ(boxes, 1);
}

TEST_F(MessageBoxTest, TitlesIconsAndButtonsFollowTheKinds) {
  struct Case {
    int icon, buttons;
    const char16_t* title;
    const char* image;
    std::vector<std::string> visible;
  };
  const std::vector<Case> cases = {
      {0, 0, u"提示", "MessageBox/msg_info.png", {"btnOK=确定"}},
      {1, 1, u"提醒", "MessageBox/msg_warning.png", {"btnCancel=关闭"}},
      {2, 2, u"错误", "MessageBox/msg_error.png", {"btnOK=是", "btnCancel=否"}},
      {3, 3, u"询问", "MessageBox/msg_ques.png", {"btnOK=确定", "btnCancel=取消"}},
  };
  for (const auto& c : cases) {
    if (c.buttons >= 2) action.Later([this] { ClickBoxButton("btnCancel"); });
    ShowLibMessageBox(nullptr, c.icon, c.buttons, u"x", 200, false);
    PaintManager& pm = Box().GetPaintManager();
    EXPECT_EQ(pm.FindControl("txtTitle")->GetText(), c.title);
    EXPECT_EQ(pm.FindControl("hluMessageIcon")->GetBkImage(), c.image);
    EXPECT_EQ(VisibleButtons(), c.visible);
  }
  // An unknown icon kind keeps "提示" and the last icon.
  ShowLibMessageBox(nullptr, 9, 0, u"x", 160, false);
  EXPECT_EQ(Box().GetPaintManager().FindControl("txtTitle")->GetText(), u"提示");
  EXPECT_EQ(Box().GetPaintManager().FindControl("hluMessageIcon")->GetBkImage(),
            "MessageBox/msg_ques.png");
}

TEST_F(MessageBoxTest, ButtonAreaIsCentredOnTheBoxWidthAndTheBoxOnTheScreen) {
  ShowLibMessageBox(nullptr, 0, 0, u"x", 200, false);
  CLibMessageBox& box = Box();
  PaintManager& pm = box.GetPaintManager();
  const int okWidth = pm.FindControl("btnOK")->GetFixedWidth();
  EXPECT_EQ(pm.FindControl("hluBtnFillArea")->GetFixedWidth(),
            (box.GetWindowRect().Width() - okWidth - 16) / 2);
  EXPECT_EQ(pm.FindControl("txtMessage")->GetFixedWidth(), 0);
  const Rect area = context.Backend().WorkArea();
  const Rect r = box.GetWindowRect();
  EXPECT_EQ(r.Height(), 200);
  EXPECT_EQ(r.left, area.left + (area.Width() - r.Width()) / 2);
  EXPECT_EQ(r.top, area.top + (area.Height() - r.Height()) / 2);
  EXPECT_TRUE(static_cast<HeadlessNativeWindow*>(box.GetNative())->topmost());
}

TEST_F(MessageBoxTest, WaitingKeepsOtherWindowsLive) {
  auto main =
      Open("<VerticalLayout><Button name=\"b\"/></VerticalLayout>", 300, 200, "UIMainFrame");
  main->SetTimer(40, 5000);
  main->seen.clear();
  int ticks = 0;
  struct Counter : IMessageFilterUI {
    int* ticks;
    std::intptr_t MessageHandler(std::uint32_t m, std::uintptr_t w, std::intptr_t, bool&) override {
      if (m == WM_TIMER && w == 40) ++*ticks;
      return 0;
    }
  } counter;
  counter.ticks = &ticks;
  main->GetPaintManager().AddPreMessageFilter(&counter);
  // While the box waits, the main window's timer runs and its button still clicks; then OK.
  action.Later([&] {
    loop.pumpFor(12000);
    main->ClickControl("b");
    ClickBoxButton("btnOK");
  });
  EXPECT_EQ(ShowLibMessageBox(main.get(), 3, 3, u"?", 160, false), 1);
  EXPECT_GE(ticks, 2);
  EXPECT_EQ(main->Types(), (std::vector<std::string>{"click:b"}));
  main->GetPaintManager().RemovePreMessageFilter(&counter);
}

TEST_F(MessageBoxTest, TheStoredSkinColoursTheRootOnEveryShowing) {
  context.SetSkinLook({true, 0xFF336699, ""});
  ShowLibMessageBox(nullptr, 0, 0, u"x", 160, false);
  Control* root = Box().GetPaintManager().FindControl("Root");
  EXPECT_EQ(root->GetBkColor(), 0xFF336699u);
  EXPECT_TRUE(root->GetBkImage().empty());
  context.SetSkinLook({false, 0, "skin/bg1.jpg"});
  ShowLibMessageBox(nullptr, 0, 0, u"x", 160, false);
  EXPECT_EQ(root->GetBkImage(), "skin/bg1.jpg");
  EXPECT_EQ(root->GetBkColor(), 0u);
  context.SetSkinLook({false, 0, ""});  // nothing chosen: the look stays
  ShowLibMessageBox(nullptr, 0, 0, u"x", 160, false);
  EXPECT_EQ(root->GetBkImage(), "skin/bg1.jpg");
}

TEST_F(MessageBoxTest, WaitEndsWhenTheLoopQuits) {
  action.Later([this] { loop.quit(0); });
  EXPECT_EQ(ShowLibMessageBox(nullptr, 2, 2, u"?", 160, false), 0);
  EXPECT_FALSE(Box().IsVisible());
}

TEST_F(MessageBoxTest, NoticeSlidesInBottomRightWithoutTakingTheFocus) {
  auto main = Open("<VerticalLayout/>", 300, 200, "UIMainFrame");
  ASSERT_TRUE(main->IsActive());
  ShowPopupNotice(main.get(), u"您有(3)条未读消息，请注意查收。", 30001);
  auto* notice =
      dynamic_cast<CLibPopupNotifyForm*>(context.SharedWindow(CLibPopupNotifyForm::kSharedKey));
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(notice->IsVisible());
  EXPECT_TRUE(main->IsActive());
  EXPECT_FALSE(notice->IsActive());
  const Rect screen = context.Backend().ScreenRect();
  EXPECT_EQ(notice->GetWindowRect().left, screen.right - 305);
  EXPECT_EQ(notice->GetWindowRect().top, screen.bottom - 190);
  EXPECT_EQ(notice->GetWindowRect().Width(), 300);  // its layout's size is kept
  EXPECT_EQ(static_cast<HeadlessNativeWindow*>(notice->GetNative())->lastSlideInMs(), 1000);
  EXPECT_EQ(notice->GetPaintManager().FindControl("txtMessageContent")->GetText(),
            u"您有(3)条未读消息，请注意查收。");
}

TEST_F(MessageBoxTest, NoticeContentClickHandsTheValueBackAndHides) {
  struct Receiver : skinui_test::LayoutWindow {
    using LayoutWindow::LayoutWindow;
    std::intptr_t HandleMessage(std::uint32_t m, std::uintptr_t w, std::intptr_t l) override {
      if (m == kNoticeClickedMessage) {
        auto* payload = reinterpret_cast<platform::Payload*>(l);
        values.push_back(payload != nullptr && payload->get<int>() ? *payload->get<int>() : -1);
        return 0;
      }
      return LayoutWindow::HandleMessage(m, w, l);
    }
    std::vector<int> values;
  };
  Receiver main(context, "<VerticalLayout/>", "UIMainFrame");
  main.Create(nullptr, u"m", WS_POPUP | WS_VISIBLE, 0, 0, 0, 300, 200);
  ShowPopupNotice(&main, u"n", 30001);
  auto* notice =
      dynamic_cast<CLibPopupNotifyForm*>(context.SharedWindow(CLibPopupNotifyForm::kSharedKey));
  notice->GetPaintManager().UpdateLayout();
  const Point c =
      notice->GetPaintManager().FindControl("btnMessageContentClick")->GetPos().Center();
  notice->SendMessage(WM_LBUTTONDOWN, 0, MakePointParam(c.x, c.y));
  notice->SendMessage(WM_LBUTTONUP, 0, MakePointParam(c.x, c.y));
  EXPECT_FALSE(notice->IsVisible());
  loop.waitIdle(1000);
  EXPECT_EQ(main.values, (std::vector<int>{30001}));
  main.Destroy();
}

}  // namespace
}  // namespace skinui
