#include "skinui/paint_manager.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "skinui/button.h"
#include "skinui/container.h"
#include "skinui/edit.h"
#include "skinui/frame_hit_test.h"
#include "skinui/label.h"
#include "skinui/list.h"
#include "skinui/option.h"
#include "skinui/vertical_layout.h"
#include "ui_test_support.h"

namespace skinui {
namespace {

using skinui_test::UiTest;

const char* kForm = R"(<Window size="300,200" caption="0,0,0,30">
  <VerticalLayout name="root">
    <HorizontalLayout name="caption" height="30"><Label name="title"/><Button name="closebtn" width="30"/></HorizontalLayout>
    <Edit name="txtName" height="30"/>
    <Edit name="txtPwd" height="30" password="true"/>
    <Button name="btnOK" height="30"/>
    <Button name="btnOff" height="30" enabled="false"/>
  </VerticalLayout></Window>)";

class PaintManagerTest : public UiTest {};

TEST_F(PaintManagerTest, WindowInitComesOnceAfterTheFirstLayoutFromTheLoop) {
  auto window = std::make_unique<skinui_test::LayoutWindow>(context, kForm);
  window->Create(nullptr, u"t", WS_POPUP | WS_VISIBLE, 0);
  EXPECT_TRUE(window->seen.empty());                // nothing laid out yet
  EXPECT_EQ(window->GetWindowRect().Width(), 300);  // the layout's size
  loop.waitIdle(1000);
  ASSERT_EQ(window->seen.size(), 1u);
  EXPECT_EQ(window->seen[0].type, "windowinit");
  EXPECT_EQ(window->GetPaintManager().FindControl("btnOK")->GetPos(), (Rect{0, 90, 300, 120}));
  window->ResizeClient(400, 200);
  loop.waitIdle(1000);
  EXPECT_EQ(window->seen.size(), 1u);
  EXPECT_EQ(window->GetPaintManager().FindControl("btnOK")->GetPos().right, 400);
}

TEST_F(PaintManagerTest, TypedLookupFailsLoudly) {
  auto window = Open(kForm);
  PaintManager& pm = window->GetPaintManager();
  EXPECT_EQ(pm.Find<Button>("btnOK").GetName(), "btnOK");
  try {
    pm.Find<Edit>("btnOK");
    FAIL();
  } catch (const ControlNotFound& e) {
    EXPECT_NE(std::string(e.what()).find("btnOK"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("ButtonUI"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("UITestFrame"), std::string::npos);
  }
  EXPECT_THROW(pm.Find<Button>("btnAbsent"), ControlNotFound);
  EXPECT_EQ(pm.FindOrLog<Button>("btnAbsent"), nullptr);
  EXPECT_TRUE(Logged("no control named 'btnAbsent'"));
  EXPECT_EQ(pm.TryFind<Label>("btnAbsent"), nullptr);
}

TEST_F(PaintManagerTest, ClicksReachOnlyShownEnabledControls) {
  auto window = Open(kForm);
  window->seen.clear();
  window->ClickControl("btnOK");
  window->ClickControl("btnOff");
  EXPECT_EQ(window->Types(), (std::vector<std::string>{"click:btnOK"}));
  // The click point comes with the notification (menus open there).
  EXPECT_EQ(window->seen[0].pt, window->GetPaintManager().FindControl("btnOK")->GetPos().Center());
  // Pressed on one button, released outside it: no click.
  window->seen.clear();
  window->SendMessage(WM_LBUTTONDOWN, 0, MakePointParam(150, 100));
  window->SendMessage(WM_LBUTTONUP, 0, MakePointParam(150, 10));
  EXPECT_TRUE(window->seen.empty());
}

TEST_F(PaintManagerTest, FocusMovesWithClicksTabAndKeysGoToTheFocus) {
  auto window = Open(kForm);
  auto& name = window->GetPaintManager().Find<Edit>("txtName");
  auto* native = static_cast<HeadlessNativeWindow*>(window->GetNative());
  window->seen.clear();
  window->ClickControl("txtName");
  EXPECT_TRUE(name.IsFocused());
  EXPECT_EQ(native->editing(), &name);  // the text-input overlay hook
  window->SendMessage(WM_CHAR, u'a');
  window->SendMessage(WM_CHAR, u'b');
  window->SendMessage(WM_KEYDOWN, VK_RETURN);
  window->SendMessage(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(name.GetText(), u"ab");
  EXPECT_TRUE(window->GetPaintManager().FindControl("txtPwd")->IsFocused());
  EXPECT_EQ(window->Types(), (std::vector<std::string>{"setfocus:txtName", "textchanged:txtName",
                                                       "textchanged:txtName", "return:txtName",
                                                       "killfocus:txtName", "setfocus:txtPwd"}));
  window->GetPaintManager().FindControl("txtPwd")->SetVisible(false);
  EXPECT_EQ(window->GetPaintManager().GetFocus(), nullptr);
  EXPECT_EQ(native->editing(), nullptr);
}

// A login area moves the focus with Enter from its password through two options to its
// button: every control on the way must send "return", not only the edit.
TEST_F(PaintManagerTest, EnterOnAFocusedOptionOrButtonSendsReturnSoAFocusChainGoesOn) {
  auto window = Open(R"(<Window size="300,200"><VerticalLayout>
    <Edit name="txtPwd" height="30" password="true"/>
    <Option name="opRemember" height="30"/>
    <Option name="opAuto" height="30" group="login"/>
    <Button name="btnLogin" height="30"/>
    <Button name="btnOff" height="30" enabled="false"/>
  </VerticalLayout></Window>)");
  PaintManager& pm = window->GetPaintManager();
  struct EnterChain : INotifyUI {
    PaintManager* pm = nullptr;
    const std::map<std::string, std::string> next = {
        {"txtPwd", "opRemember"}, {"opRemember", "opAuto"}, {"opAuto", "btnLogin"}};
    void Notify(TNotifyUI& msg) override {
      const auto it = msg.sType == "return" ? next.find(msg.pSender->GetName()) : next.end();
      if (it != next.end()) pm->SetFocus(pm->FindControl(it->second));
    }
  } chain;
  chain.pm = &pm;
  pm.AddNotifier(&chain);
  pm.SetFocus(pm.FindControl("txtPwd"));
  window->seen.clear();
  for (int i = 0; i < 4; ++i) window->SendMessage(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(window->Types(),
            (std::vector<std::string>{"return:txtPwd", "killfocus:txtPwd", "setfocus:opRemember",
                                      "return:opRemember", "killfocus:opRemember",
                                      "setfocus:opAuto", "return:opAuto", "killfocus:opAuto",
                                      "setfocus:btnLogin", "return:btnLogin"}));
  // Enter is not a click: the options keep their state.
  EXPECT_FALSE(pm.Find<Option>("opRemember").IsSelected());
  EXPECT_FALSE(pm.Find<Option>("opAuto").IsSelected());
  // A disabled button does not answer the keyboard.
  pm.SetFocus(pm.FindControl("btnOff"));
  window->seen.clear();
  window->SendMessage(WM_KEYDOWN, VK_RETURN);
  EXPECT_TRUE(window->seen.empty());
  pm.RemoveNotifier(&chain);
}

TEST_F(PaintManagerTest, PreMessageFiltersSeeMessagesFirst) {
  struct SwallowClicks : IMessageFilterUI {
    std::intptr_t MessageHandler(std::uint32_t message, std::uintptr_t, std::intptr_t,
                                 bool& handled) override {
      if (message == WM_LBUTTONDOWN) {
        ++count;
        handled = true;
      }
      return 0;
    }
    int count = 0;
  } filter;
  auto window = Open(kForm);
  window->GetPaintManager().AddPreMessageFilter(&filter);
  window->seen.clear();
  window->ClickControl("btnOK");
  EXPECT_EQ(filter.count, 1);
  EXPECT_TRUE(window->seen.empty());
  window->GetPaintManager().RemovePreMessageFilter(&filter);
  window->ClickControl("btnOK");
  EXPECT_EQ(window->Types(), (std::vector<std::string>{"click:btnOK"}));
}

TEST_F(PaintManagerTest, ControlTimersNotifyAndDieWithTheirControl) {
  auto window = Open(kForm);
  PaintManager& pm = window->GetPaintManager();
  Control* ok = pm.FindControl("btnOK");
  pm.SetTimer(ok, 7, 100);
  ASSERT_EQ(loop.timers(window->GetHWND()).size(), 1u);
  window->seen.clear();
  loop.pumpFor(250);
  EXPECT_EQ(window->Types(), (std::vector<std::string>{"timer:btnOK", "timer:btnOK"}));
  EXPECT_EQ(window->seen[0].wParam, 7u);
  pm.Find<VerticalLayout>("root").Remove(ok);
  EXPECT_TRUE(loop.timers(window->GetHWND()).empty());
}

TEST_F(PaintManagerTest, AsyncNotificationsArriveLaterAndNotForRemovedSenders) {
  auto window = Open(kForm);
  PaintManager& pm = window->GetPaintManager();
  window->seen.clear();
  pm.SendNotify(pm.FindControl("btnOK"), "main_menu_item_About", 0, 0, true);
  pm.SendNotify(pm.FindControl("btnOff"), "gone", 0, 0, true);
  EXPECT_TRUE(window->seen.empty());
  pm.Find<VerticalLayout>("root").Remove(pm.FindControl("btnOff"));
  loop.waitIdle(1000);
  EXPECT_EQ(window->Types(), (std::vector<std::string>{"main_menu_item_About:btnOK"}));
}

TEST_F(PaintManagerTest, VisibleGifRunsAnAnimationTimerOnlyWhileShown) {
  auto window = Open(kForm);
  auto& root = window->GetPaintManager().Find<Container>("root");
  root.VisibleGIF(true);
  EXPECT_TRUE(root.IsGIFVisible());
  EXPECT_EQ(loop.timers(window->GetHWND()).size(), 1u);
  loop.pumpFor(350);
  EXPECT_EQ(root.GifFrame(), 3);
  root.VisibleGIF(false);
  EXPECT_TRUE(loop.timers(window->GetHWND()).empty());
}

TEST_F(PaintManagerTest, ActivationMovesBetweenWindowsAndNoActivateWindowsLeaveIt) {
  auto first = Open(kForm);
  EXPECT_TRUE(first->IsActive());
  auto notice = std::make_unique<skinui_test::LayoutWindow>(context, kForm, "UINotice");
  notice->Create(nullptr, u"n", WS_POPUP | WS_VISIBLE, WS_EX_NOACTIVATE | WS_EX_TOPMOST);
  EXPECT_TRUE(notice->IsVisible());
  EXPECT_TRUE(first->IsActive());
  auto second = Open(kForm, 100, 100, "UISecond");
  EXPECT_TRUE(second->IsActive());
  EXPECT_FALSE(first->IsActive());
  EXPECT_EQ(context.FindWindowByClass("UITestFrame"), first.get());
  second->Close();
  EXPECT_FALSE(second->IsWindow());
  EXPECT_EQ(context.FindWindowByClass("UISecond"), nullptr);
}

TEST_F(PaintManagerTest, HidingTheActiveWindowGivesActivationBack) {
  auto main = Open(kForm, 300, 200, "UIMain");
  auto box = Open(kForm, 100, 100, "UIBox");
  EXPECT_TRUE(box->IsActive());
  box->ShowWindow(false);
  EXPECT_TRUE(main->IsActive());
  box->ShowWindow(true);
  EXPECT_TRUE(box->IsActive());
  box->Destroy();
  EXPECT_TRUE(main->IsActive());
}

TEST_F(PaintManagerTest, HitTestGivesResizeZonesCaptionAndClient) {
  auto window = Open(R"(<Window size="300,200" caption="0,0,0,30" sizebox="4,4,6,6">
      <VerticalLayout><HorizontalLayout height="30"><Label name="title"/>
        <Button name="closebtn" width="30"/></HorizontalLayout><Edit name="body"/></VerticalLayout></Window>)");
  window->MoveWindow({100, 50, 400, 250});
  auto hit = [&](int x, int y) { return NonClientHitTest(*window, {100 + x, 50 + y}); };
  EXPECT_EQ(hit(1, 1), HTTOPLEFT);
  EXPECT_EQ(hit(150, 2), HTTOP);
  EXPECT_EQ(hit(296, 2), HTTOPRIGHT);
  EXPECT_EQ(hit(1, 100), HTLEFT);
  EXPECT_EQ(hit(295, 100), HTRIGHT);
  EXPECT_EQ(hit(150, 196), HTBOTTOM);
  EXPECT_EQ(hit(297, 197), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(100, 15), HTCAPTION);  // over the title label
  EXPECT_EQ(hit(280, 15), HTCLIENT);   // over the close button
  EXPECT_EQ(hit(150, 100), HTCLIENT);
  window->SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
  const Rect r = window->GetWindowRect();
  EXPECT_EQ(NonClientHitTest(*window, {r.left + 1, r.top + 1}), HTCAPTION);  // no resizing
}

// A worker builds a row from a layout and posts it; the window thread adds it to its list.
TEST_F(PaintManagerTest, RowsBuiltOnAWorkerAreAddedByTheWindowThread) {
  struct ListWindow : skinui_test::LayoutWindow {
    using LayoutWindow::LayoutWindow;
    std::intptr_t HandleMessage(std::uint32_t m, std::uintptr_t w, std::intptr_t l) override {
      if (m == WM_USER + 1) {
        auto* payload = reinterpret_cast<platform::Payload*>(l);
        if (auto row = payload->take<Control>()) {
          GetPaintManager().Find<List>("lstKnowlegeSearchResult").Add(std::move(row));
        }
        return 0;
      }
      return LayoutWindow::HandleMessage(m, w, l);
    }
  };
  ListWindow window(context, R"(<List name="lstKnowlegeSearchResult" vscrollbar="true"/>)");
  window.Create(nullptr, u"w", WS_POPUP | WS_VISIBLE, 0, 0, 0, 300, 200);
  const platform::WindowId target = window.GetHWND();
  for (int i = 0; i < 3; ++i) {
    loop.startWorker([this, target, i] {
      BuildOptions options;
      auto row = Builder(options).CreateFromString(
          "<ListContainerElement height=\"80\"><Text name=\"txtTitle\" text=\"" +
          std::to_string(i) + ".<c #FF0000>钢筋</c>\"/></ListContainerElement>");
      loop.post(target, WM_USER + 1, platform::Payload(std::move(row)));
    });
  }
  ASSERT_TRUE(loop.waitIdle(5000));
  auto& list = window.GetPaintManager().Find<List>("lstKnowlegeSearchResult");
  EXPECT_EQ(list.GetCount(), 3);
  window.GetPaintManager().UpdateLayout();
  EXPECT_TRUE(list.IsScrollBarShown());
  EXPECT_EQ(list.GetItemAt(2)->GetManager(), &window.GetPaintManager());
  window.Destroy();
}

TEST_F(PaintManagerTest, AdoptedWindowsAreFreedAfterTheirLastMessage) {
  struct Menu : skinui_test::LayoutWindow {
    Menu(UiContext& c, bool* freed)
        : LayoutWindow(
              c, "<List><ListLabelElement name=\"main_menu_item_Exit\" height=\"20\"/></List>",
              "MenuWnd"),
          freed_(freed) {}
    ~Menu() override { *freed_ = true; }
    void Notify(TNotifyUI& msg) override {
      LayoutWindow::Notify(msg);
      if (msg.sType == "itemclick") Close();  // closes itself from its own notification
    }
    bool* freed_;
  };
  bool freed = false;
  auto* menu = static_cast<Menu*>(context.AdoptWindow(std::make_unique<Menu>(context, &freed)));
  menu->Create(nullptr, u"", WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW, 0, 0, 100, 40);
  menu->ClickControl("main_menu_item_Exit");
  EXPECT_FALSE(freed);  // not while its own message runs
  EXPECT_EQ(context.FindWindowByClass("MenuWnd"), nullptr);
  loop.waitIdle(1000);
  EXPECT_TRUE(freed);
}

TEST_F(PaintManagerTest, SystemCommandsMaximiseToTheWorkAreaAndRestore) {
  auto window = Open(kForm);
  window->MoveWindow({100, 100, 400, 300});
  window->SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
  EXPECT_TRUE(window->IsMaximized());
  EXPECT_EQ(window->GetWindowRect(), context.Backend().WorkArea());
  window->GetPaintManager().UpdateLayout();
  EXPECT_EQ(window->GetPaintManager().FindControl("btnOK")->GetPos().right,
            context.Backend().WorkArea().Width());
  window->SendMessage(WM_SYSCOMMAND, SC_RESTORE);
  EXPECT_EQ(window->GetWindowRect(), (Rect{100, 100, 400, 300}));
  window->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
  EXPECT_FALSE(window->IsWindow());
}

}  // namespace
}  // namespace skinui
