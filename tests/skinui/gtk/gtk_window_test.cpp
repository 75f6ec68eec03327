// Real GTK windows of the window library on a virtual display, driven by real X input
// (xdotool): painting, clicks, caption dragging and edge resizing from the window's own hit
// test, text entry, the combo's drop-down, tooltips, shapes, pop-ups and focus.
#include <gtest/gtest.h>

#include <chrono>

#include "gtk_test_support.h"
#include "skinui/combo.h"
#include "skinui/edit.h"
#include "skinui/gtk/desktop_display.h"
#include "skinui/lib_message_box.h"
#include "skinui/lib_popup_notify_form.h"

namespace skinui_gtk_test {
namespace {

using namespace skinui;

const char* kLayout =
    R"(<Window size="480,360" caption="0,0,0,32" sizebox="6,6,6,6" mininfo="300,200">
  <VerticalLayout name="Root" bkcolor="#FFF0F4F8">
    <HorizontalLayout name="hluCaption" height="32" bkcolor="#FF2F6FC0">
      <Label name="lblTitle" text="GTK" textcolor="#FFFFFFFF" padding="10,0,0,0"/>
      <Button name="closebtn" width="28" height="28" padding="0,2,2,2" bkcolor="#FFC04040"/>
    </HorizontalLayout>
    <HorizontalLayout height="40" inset="10,6,10,6" childpadding="8">
      <Edit name="txtKeyword" width="150" bkcolor="#FFFFFFFF" bordercolor="#FF8899AA" bordersize="1" textpadding="4,0,4,0"/>
      <Edit name="txtPassword" width="90" password="true" maxchar="6" bkcolor="#FFFFFFFF" bordercolor="#FF8899AA" bordersize="1"/>
      <Combo name="cmbType" width="90"><ListLabelElement text="全部"/><ListLabelElement text="规范"/><ListLabelElement text="图集"/></Combo>
      <Button name="btnGo" width="70" text="Go" bkcolor="#FF30A050" tooltip="开始搜索"/>
    </HorizontalLayout>
    <Control name="ctlSpace"/>
  </VerticalLayout>
</Window>)";

constexpr std::uintptr_t kKeyDown = 0x100;
constexpr std::uintptr_t kKillFocus = 0x0008;
constexpr std::uintptr_t kExitSizeMove = 0x0232;
constexpr std::uintptr_t kSysCommand = 0x0112;
constexpr std::uintptr_t kMouseWheel = 0x020A;
constexpr std::uintptr_t kDoubleClick = 0x0203;

std::string Msg(std::uintptr_t message) {
  return "msg:" + std::to_string(message);
}

Rect PosOf(TestFrame& frame, const std::string& name) {
  frame.GetPaintManager().UpdateLayout();
  return frame.GetPaintManager().FindControl(name)->GetPos();
}

class GtkWindowTest : public GtkFixture {
 protected:
  bool Click(TestFrame& frame, Point client) {
    return PointerTo(frame, client) && Xdo({"click", "1"});
  }
  // Presses at a client point, moves the pointer by (dx, dy) in steps and releases; returns
  // once the window has told the end of the move or resize.
  bool Drag(TestFrame& frame, Point from, int dx, int dy) {
    const int ended = frame.Count(Msg(kExitSizeMove));
    if (!PointerTo(frame, from) || !Xdo({"mousedown", "1"})) return false;
    Settle(*loop_, 50);
    constexpr int kSteps = 5;
    for (int i = 0; i < kSteps; ++i) {
      if (!Xdo({"mousemove_relative", "--sync", "--", std::to_string(dx / kSteps),
                std::to_string(dy / kSteps)})) {
        return false;
      }
      Settle(*loop_, 30);
    }
    return Xdo({"mouseup", "1"}) &&
           PumpUntil(*loop_, [&] { return frame.Count(Msg(kExitSizeMove)) > ended; });
  }
};

// GDK opened the display without OpenGL; programs started later must not inherit that choice.
TEST_F(GtkWindowTest, TheWindowStandsAtItsPlaceAndShowsItsPainting) {
  EXPECT_EQ(g_getenv("GDK_GL"), nullptr);
  TestFrame& frame = Open(kLayout);
  const Rect rect = frame.GetWindowRect();
  EXPECT_EQ(rect.Width(), 480);
  EXPECT_EQ(rect.Height(), 360);
  EXPECT_EQ(SystemRect(frame), rect);
  const Rect go = PosOf(frame, "btnGo");
  EXPECT_EQ(ScreenPixel(rect.left + go.left + 3, rect.top + go.top + 3), 0x30A050u);
  EXPECT_EQ(ScreenPixel(rect.left + 200, rect.top + 16), 0x2F6FC0u);
  EXPECT_EQ(ScreenPixel(rect.left + 200, rect.top + 300), 0xF0F4F8u);
}

TEST_F(GtkWindowTest, HotStateFollowsThePointerAndAClickAtAButtonIsItsClick) {
  TestFrame& frame = Open(kLayout);
  const Rect go = PosOf(frame, "btnGo");
  ASSERT_TRUE(PointerTo(frame, go.Center()));
  ASSERT_TRUE(PumpUntil(*loop_, [&] {
    const Control* hot = frame.GetPaintManager().GetHot();
    return hot != nullptr && hot->GetName() == "btnGo";
  }));
  ASSERT_TRUE(Xdo({"click", "1"}));
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return frame.Saw("click", "btnGo"); }));
  EXPECT_EQ(frame.Count("click", "btnGo"), 1);
  // Leaving the window clears the hot state.
  ASSERT_TRUE(Xdo({"mousemove", "--sync", "5", "5"}));
  EXPECT_TRUE(PumpUntil(*loop_, [&] { return frame.GetPaintManager().GetHot() == nullptr; }));
}

TEST_F(GtkWindowTest, WheelAndDoubleClickReachTheWindowAsItsMessages) {
  TestFrame& frame = Open(kLayout);
  const Rect space = PosOf(frame, "ctlSpace");
  ASSERT_TRUE(PointerTo(frame, space.Center()));
  // Button 5 is a notch towards the user, button 4 one away from the user.
  ASSERT_TRUE(Xdo({"click", "5"}));
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return frame.Saw(Msg(kMouseWheel)); }));
  ASSERT_TRUE(Xdo({"click", "4"}));
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return frame.Count(Msg(kMouseWheel)) == 2; }));
  std::vector<int> deltas;
  for (const Seen& s : frame.seen) {
    if (s.what == Msg(kMouseWheel)) deltas.push_back(static_cast<std::int16_t>(s.wParam >> 16));
  }
  EXPECT_EQ(deltas, (std::vector<int>{-120, 120}));
  // The window's class asks for double clicks.
  ASSERT_TRUE(Xdo({"click", "--repeat", "2", "--delay", "60", "1"}));
  EXPECT_TRUE(PumpUntil(*loop_, [&] { return frame.Count(Msg(kDoubleClick)) == 1; }));
}

TEST_F(GtkWindowTest, DraggingTheCaptionMovesTheWindow) {
  TestFrame& frame = Open(kLayout);
  const Rect start = frame.GetWindowRect();
  ASSERT_TRUE(Drag(frame, {150, 18}, 100, 50));
  const Rect moved = start.Offset(100, 50);
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return frame.GetWindowRect() == moved; }))
      << "now at " << frame.GetWindowRect().left << "," << frame.GetWindowRect().top;
  EXPECT_EQ(SystemRect(frame), moved);
  EXPECT_EQ(frame.Count(Msg(kExitSizeMove)), 1);
  EXPECT_FALSE(frame.Saw("click"));
}

TEST_F(GtkWindowTest, DraggingTheCornerResizesDownToTheMinimumSize) {
  TestFrame& frame = Open(kLayout);
  const Rect start = frame.GetWindowRect();
  ASSERT_TRUE(Drag(frame, {start.Width() - 2, start.Height() - 2}, 60, 40));
  ASSERT_TRUE(PumpUntil(*loop_,
                        [&] {
                          return frame.GetWindowRect().Width() == 540 &&
                                 frame.GetWindowRect().Height() == 400;
                        }))
      << frame.GetWindowRect().Width() << "x" << frame.GetWindowRect().Height();
  EXPECT_EQ(frame.GetWindowRect().left, start.left);
  // The layout followed the new size.
  EXPECT_EQ(PosOf(frame, "Root").right, 540);
  ASSERT_TRUE(Drag(frame, {538, 398}, -400, -400));
  EXPECT_TRUE(PumpUntil(*loop_,
                        [&] {
                          return frame.GetWindowRect().Width() == 300 &&
                                 frame.GetWindowRect().Height() == 200;
                        }))
      << frame.GetWindowRect().Width() << "x" << frame.GetWindowRect().Height();
}

TEST_F(GtkWindowTest, MaximiseFillsTheWorkAreaAndRestoreReturns) {
  TestFrame& frame = Open(kLayout);
  const Rect start = frame.GetWindowRect();
  frame.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
  const Rect area = context_->Backend().WorkArea();
  EXPECT_EQ(area, (Rect{0, 0, VirtualDisplay::kWidth, VirtualDisplay::kHeight}));
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return SystemRect(frame) == area; }));
  EXPECT_TRUE(frame.IsMaximized());
  frame.SendMessage(WM_SYSCOMMAND, SC_RESTORE);
  EXPECT_TRUE(PumpUntil(*loop_, [&] { return SystemRect(frame) == start; }));
  EXPECT_EQ(frame.GetWindowRect(), start);
}

TEST_F(GtkWindowTest, AWindowLargerThanTheScreenIsClamped) {
  TestFrame& frame = Open(kLayout);
  frame.MoveWindow({0, 0, 5000, 4000});
  ASSERT_TRUE(PumpUntil(*loop_, [&] {
    return SystemRect(frame).Width() == VirtualDisplay::kWidth &&
           SystemRect(frame).Height() == VirtualDisplay::kHeight;
  }));
  // The library learns the size the window really has.
  EXPECT_TRUE(PumpUntil(*loop_, [&] {
    return frame.GetWindowRect() == Rect{0, 0, VirtualDisplay::kWidth, VirtualDisplay::kHeight};
  }));
}

TEST_F(GtkWindowTest, TypingIntoAnEditGoesThroughANativeEntry) {
  TestFrame& frame = Open(kLayout);
  const Rect keyword = PosOf(frame, "txtKeyword");
  ASSERT_TRUE(Click(frame, keyword.Center()));
  ASSERT_TRUE(PumpUntil(*loop_, [&] {
    GtkWidget* entry = frame.Native().TextInputWidget();
    return entry != nullptr && gtk_widget_get_mapped(entry) && gtk_widget_has_focus(entry);
  }));
  // The entry lies inside the edit's frame.
  GtkWidget* entry = frame.Native().TextInputWidget();
  int x = -1, y = -1;
  ASSERT_TRUE(PumpUntil(*loop_, [&] {
    return gtk_widget_translate_coordinates(entry, frame.Native().Toplevel(), 0, 0, &x, &y) &&
           x >= 0;
  }));
  EXPECT_GE(x, keyword.left);
  EXPECT_LE(x + gtk_widget_get_allocated_width(entry), keyword.right);
  EXPECT_GE(y, keyword.top);
  EXPECT_LE(y + gtk_widget_get_allocated_height(entry), keyword.bottom);

  ASSERT_TRUE(Xdo({"type", "--delay", "20", "steel 42"}));
  auto& edit = frame.GetPaintManager().Find<Edit>("txtKeyword");
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return edit.GetText() == u"steel 42"; }))
      << Utf16ToUtf8(edit.GetText());
  EXPECT_TRUE(frame.Saw("textchanged", "txtKeyword"));
  ASSERT_TRUE(Xdo({"key", "Return"}));
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return frame.Saw("return", "txtKeyword"); }));

  // Tab moves on to the password edit: bullets, and no more than its six characters.
  ASSERT_TRUE(Xdo({"key", "Tab"}));
  ASSERT_TRUE(PumpUntil(*loop_, [&] {
    const Control* focus = frame.GetPaintManager().GetFocus();
    return focus != nullptr && focus->GetName() == "txtPassword" &&
           frame.Native().TextInputWidget() != nullptr &&
           gtk_widget_has_focus(frame.Native().TextInputWidget());
  }));
  GtkEntry* password = GTK_ENTRY(frame.Native().TextInputWidget());
  EXPECT_FALSE(gtk_entry_get_visibility(password));
  EXPECT_EQ(gtk_entry_get_max_length(password), 6);
  ASSERT_TRUE(Xdo({"type", "--delay", "20", "secret99"}));
  auto& secret = frame.GetPaintManager().Find<Edit>("txtPassword");
  EXPECT_TRUE(PumpUntil(*loop_, [&] { return secret.GetText() == u"secret"; }))
      << Utf16ToUtf8(secret.GetText());
  // The first edit kept its text after losing the focus.
  EXPECT_EQ(edit.GetText(), u"steel 42");

  // A window that moves the focus from the edit to its button (an Enter chain does): the
  // keyboard leaves the entry, and Enter on the button is its "return".
  frame.GetPaintManager().SetFocus(frame.GetPaintManager().FindControl("btnGo"));
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return frame.Native().TextInputWidget() == nullptr; }));
  ASSERT_TRUE(Xdo({"key", "Return"}));
  EXPECT_TRUE(PumpUntil(*loop_, [&] { return frame.Saw("return", "btnGo"); }));
}

TEST_F(GtkWindowTest, TheComboDropsDownEscapeClosesItAndAClickChooses) {
  TestFrame& frame = Open(kLayout);
  auto& combo = frame.GetPaintManager().Find<Combo>("cmbType");
  const Rect box = PosOf(frame, "cmbType");
  ASSERT_TRUE(Click(frame, box.Center()));
  Window* dropDown = nullptr;
  ASSERT_TRUE(PumpUntil(*loop_, [&] {
    dropDown = context_->FindWindowByClass("ComboDropDownWnd");
    return dropDown != nullptr && dropDown->IsVisible() &&
           gtk_widget_get_mapped(
               dynamic_cast<gtk::GtkNativeWindow*>(dropDown->GetNative())->Toplevel());
  }));
  // Right below the box, as wide as it.
  EXPECT_EQ(dropDown->GetWindowRect().top, frame.ClientToScreen({0, box.bottom}).y);
  EXPECT_EQ(dropDown->GetWindowRect().Width(), box.Width());
  Settle(*loop_);
  ASSERT_TRUE(Xdo({"key", "Escape"}));
  ASSERT_TRUE(PumpUntil(
      *loop_, [&] { return context_->FindWindowByClass("ComboDropDownWnd") == nullptr; }));
  EXPECT_EQ(combo.GetCurSel(), -1);
  EXPECT_FALSE(frame.Saw("itemselect"));

  ASSERT_TRUE(Click(frame, box.Center()));
  ASSERT_TRUE(PumpUntil(*loop_, [&] {
    dropDown = context_->FindWindowByClass("ComboDropDownWnd");
    return dropDown != nullptr && dropDown->GetPaintManager().IsWindowInitialised();
  }));
  Settle(*loop_);
  const Rect list = dropDown->GetWindowRect();
  ASSERT_TRUE(Xdo({"mousemove", "--sync", std::to_string(list.left + 20),
                   std::to_string(list.top + 1 + 24 + 12)}));
  ASSERT_TRUE(Xdo({"click", "1"}));
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return combo.GetCurSel() == 1; }));
  EXPECT_TRUE(frame.Saw("itemselect", "cmbType"));
  EXPECT_EQ(combo.GetText(), u"规范");
  EXPECT_TRUE(PumpUntil(
      *loop_, [&] { return context_->FindWindowByClass("ComboDropDownWnd") == nullptr; }));
  // The frame is the active window again.
  EXPECT_EQ(context_->GetActiveWindow(), &frame);
}

bool TooltipShown(const std::string& text) {
  GList* windows = gtk_window_list_toplevels();
  bool found = false;
  for (GList* w = windows; w != nullptr && !found; w = w->next) {
    GtkWidget* widget = GTK_WIDGET(w->data);
    if (!gtk_widget_get_mapped(widget) ||
        gtk_window_get_window_type(GTK_WINDOW(widget)) != GTK_WINDOW_POPUP) {
      continue;
    }
    // The tooltip window holds a box with an image and a label.
    std::vector<GtkWidget*> pending = {widget};
    while (!pending.empty() && !found) {
      GtkWidget* current = pending.back();
      pending.pop_back();
      if (GTK_IS_LABEL(current) && text == gtk_label_get_text(GTK_LABEL(current))) found = true;
      if (GTK_IS_CONTAINER(current)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(current));
        for (GList* c = children; c != nullptr; c = c->next) {
          pending.push_back(GTK_WIDGET(c->data));
        }
        g_list_free(children);
      }
    }
  }
  g_list_free(windows);
  return found;
}

TEST_F(GtkWindowTest, ATooltipAppearsAfterTheUsualDelay) {
  TestFrame& frame = Open(kLayout);
  const Rect go = PosOf(frame, "btnGo");
  ASSERT_TRUE(PointerTo(frame, {go.left + 5, go.top + 5}));
  ASSERT_TRUE(Xdo({"mousemove_relative", "--sync", "2", "2"}));
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(PumpUntil(
      *loop_, [] { return TooltipShown("开始搜索"); }, 5000));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
}

TEST_F(GtkWindowTest, RoundCornersCutTheWindowsShape) {
  TestFrame& frame = Open(kLayout);
  const Rect rect = frame.GetWindowRect();
  // The root window of the display is black.
  EXPECT_EQ(ScreenPixel(rect.left, rect.top), 0x2F6FC0u);
  frame.GetNative()->SetRoundCorners({16, 16});
  Settle(*loop_);
  EXPECT_EQ(ScreenPixel(rect.left, rect.top), 0x000000u);
  EXPECT_EQ(ScreenPixel(rect.right - 1, rect.bottom - 1), 0x000000u);
  EXPECT_EQ(ScreenPixel(rect.left + 8, rect.top + 16), 0x2F6FC0u);
  EXPECT_EQ(ScreenPixel(rect.left, rect.top + 16), 0x2F6FC0u);
  // A click where the corner was cut reaches no control of the window.
  frame.GetNative()->SetRoundCorners({0, 0});
  Settle(*loop_);
  EXPECT_EQ(ScreenPixel(rect.left, rect.top), 0x2F6FC0u);
}

TEST_F(GtkWindowTest, TheNoticeSlidesInBottomRightWithoutTakingTheFocus) {
  TestFrame& frame = Open(kLayout);
  ASSERT_TRUE(PumpUntil(*loop_, [&] {
    return gtk_window_has_toplevel_focus(GTK_WINDOW(frame.Native().Toplevel()));
  }));
  const auto start = std::chrono::steady_clock::now();
  ShowPopupNotice(&frame, u"您有(2)条未读消息，请注意查收。", 30001);
  Window* notice = context_->SharedWindow(CLibPopupNotifyForm::kSharedKey);
  ASSERT_NE(notice, nullptr);
  auto& native = *dynamic_cast<gtk::GtkNativeWindow*>(notice->GetNative());
  EXPECT_TRUE(native.Sliding());
  GtkWindow* noticeWindow = GTK_WINDOW(native.Toplevel());
  EXPECT_FALSE(gtk_window_get_accept_focus(noticeWindow));
  EXPECT_TRUE(gtk_window_get_skip_taskbar_hint(noticeWindow));
  ASSERT_TRUE(PumpUntil(
      *loop_, [&] { return !native.Sliding(); }, 5000));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(950));
  EXPECT_LT(took, std::chrono::milliseconds(3000));
  const Rect screen = context_->Backend().ScreenRect();
  ASSERT_TRUE(PumpUntil(*loop_, [&] {
    const Rect r = SystemRect(*notice);
    return r.left == screen.right - 305 && r.top == screen.bottom - 190;
  }));
  EXPECT_EQ(context_->GetActiveWindow(), &frame);
  EXPECT_TRUE(gtk_window_has_toplevel_focus(GTK_WINDOW(frame.Native().Toplevel())));
  EXPECT_FALSE(frame.Saw(Msg(kKillFocus)));
}

TEST_F(GtkWindowTest, TheMessageBoxTakesTheFocusAndGivesItBack) {
  TestFrame& frame = Open(kLayout);
  ShowLibMessageBox(&frame, 0, 0, u"已保存", 160, false);
  auto* box = dynamic_cast<CLibMessageBox*>(context_->SharedWindow(CLibMessageBox::kSharedKey));
  ASSERT_NE(box, nullptr);
  auto& native = *dynamic_cast<gtk::GtkNativeWindow*>(box->GetNative());
  const bool shownOk = PumpUntil(*loop_, [&] {
    return gtk_window_has_toplevel_focus(GTK_WINDOW(native.Toplevel())) &&
           box->GetPaintManager().IsWindowInitialised();
  });
  ASSERT_TRUE(shownOk);
  Settle(*loop_);
  const Rect ok = box->GetPaintManager().FindControl("btnOK")->GetPos();
  ASSERT_TRUE(PointerTo(*box, ok.Center()));
  ASSERT_TRUE(Xdo({"click", "1"}));
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return !box->IsVisible(); }));
  EXPECT_EQ(box->GetResult(), 1);
  EXPECT_TRUE(PumpUntil(*loop_, [&] {
    return gtk_window_has_toplevel_focus(GTK_WINDOW(frame.Native().Toplevel()));
  }));
  EXPECT_EQ(context_->GetActiveWindow(), &frame);
}

bool HasDesktopFocus(const TestFrame& frame) {
  return gtk_window_has_toplevel_focus(GTK_WINDOW(frame.Native().Toplevel()));
}

// A dialog that closes itself and opens another window, a window opened from a menu that goes,
// one window of the program replacing another: whichever order the program hides the focused
// window and shows the next in, the next one comes up above the main window, drawn, and keeps
// the focus.
TEST_F(GtkWindowTest, AWindowShownAsAnotherGoesComesUpOnTopAndKeepsTheFocus) {
  TestFrame& main = Open(kLayout);
  const char* secondary =
      R"(<Window size="240,160"><VerticalLayout bkcolor="#FF80C040"/></Window>)";
  enum class Order { kHideThenShow, kShowThenHide, kDestroyThenShow };
  for (const Order order : {Order::kHideThenShow, Order::kShowThenHide, Order::kDestroyThenShow}) {
    SCOPED_TRACE(static_cast<int>(order));
    frames_.push_back(std::make_unique<TestFrame>(*context_, kLayout, "UIGoingFrame"));
    TestFrame& going = *frames_.back();
    ASSERT_TRUE(going.Create(&main, u"", WS_POPUP, 0));
    going.MoveWindow(main.GetWindowRect().Offset(60, 60));
    going.ShowWindow(true, true);
    ASSERT_TRUE(PumpUntil(*loop_, [&] {
      return HasDesktopFocus(going) && StackingIndex(going) > StackingIndex(main);
    }));
    Settle(*loop_);

    frames_.push_back(std::make_unique<TestFrame>(*context_, secondary, "UIComingFrame"));
    TestFrame& coming = *frames_.back();
    ASSERT_TRUE(coming.Create(&main, u"", WS_POPUP, 0));
    coming.CenterWindow();
    // No event of the desktop is handled between the two steps.
    if (order == Order::kShowThenHide) coming.ShowWindow(true, true);
    if (order == Order::kDestroyThenShow) {
      going.Destroy();
    } else {
      going.ShowWindow(false);
    }
    if (order != Order::kShowThenHide) coming.ShowWindow(true, true);

    const auto onTop = [&] {
      return context_->GetActiveWindow() == &coming && HasDesktopFocus(coming) &&
             StackingIndex(coming) > StackingIndex(main);
    };
    EXPECT_TRUE(PumpUntil(*loop_, onTop))
        << "active " << (context_->GetActiveWindow() == &main ? "main" : "other") << ", stacked "
        << StackingIndex(coming) << " over " << StackingIndex(main);
    // The focus events of the steps in between are all in: nothing moved back.
    Settle(*loop_, 300);
    EXPECT_TRUE(onTop());
    EXPECT_FALSE(coming.Saw(Msg(kKillFocus)));
    const Rect shown = coming.GetWindowRect();
    EXPECT_EQ(ScreenPixel(shown.left + 20, shown.top + 20), 0x80C040u);
    coming.Destroy();
    if (going.IsWindow()) going.Destroy();
    ASSERT_TRUE(PumpUntil(*loop_, [&] { return HasDesktopFocus(main); }));
    Settle(*loop_);
  }
}

TEST_F(GtkWindowTest, ClosingFromTheDesktopIsTheSystemCloseCommand) {
  TestFrame& frame = Open(kLayout);
  gtk_window_close(GTK_WINDOW(frame.Native().Toplevel()));
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return !frame.IsWindow(); }));
  ASSERT_TRUE(frame.Saw(Msg(kSysCommand)));
  for (const Seen& s : frame.seen) {
    if (s.what == Msg(kSysCommand)) {
      EXPECT_EQ(s.wParam & 0xFFF0, SC_CLOSE);
    }
  }
}

TEST_F(GtkWindowTest, FocusGoingToAnotherProgramIsAKillFocus) {
  TestFrame& frame = Open(kLayout);
  ASSERT_TRUE(PumpUntil(*loop_, [&] {
    return gtk_window_has_toplevel_focus(GTK_WINDOW(frame.Native().Toplevel()));
  }));
  // A window that is none of the library's stands for another program.
  GtkWidget* other = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_move(GTK_WINDOW(other), 10, 10);
  gtk_window_set_default_size(GTK_WINDOW(other), 100, 80);
  gtk_widget_show(other);
  gtk::DesktopDisplay::Activate(other);
  const bool lost = PumpUntil(*loop_, [&] { return frame.Saw(Msg(kKillFocus)); });
  gtk_widget_destroy(other);
  ASSERT_TRUE(lost);
  EXPECT_EQ(context_->GetActiveWindow(), nullptr);
}

TEST_F(GtkWindowTest, WindowKindsChooseTheirDesktopHints) {
  TestFrame& tool = Open(kLayout, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "UIToolFrame");
  EXPECT_TRUE(gtk_window_get_skip_taskbar_hint(GTK_WINDOW(tool.Native().Toplevel())));
  EXPECT_EQ(gtk_window_get_type_hint(GTK_WINDOW(tool.Native().Toplevel())),
            GDK_WINDOW_TYPE_HINT_UTILITY);
  TestFrame& normal = Open(kLayout);
  EXPECT_FALSE(gtk_window_get_skip_taskbar_hint(GTK_WINDOW(normal.Native().Toplevel())));
  EXPECT_TRUE(gtk_window_get_accept_focus(GTK_WINDOW(normal.Native().Toplevel())));
  EXPECT_FALSE(gtk_window_get_decorated(GTK_WINDOW(normal.Native().Toplevel())));
}

TEST_F(GtkWindowTest, LayeredWindowsStayHiddenWithoutACompositor) {
  ASSERT_FALSE(backend_->LayeredWindowsAvailable());  // Xvfb runs no compositor
  frames_.push_back(std::make_unique<TestFrame>(*context_, kLayout, "UIShadowTest"));
  TestFrame& shadow = *frames_.back();
  ASSERT_TRUE(shadow.Create(nullptr, u"", WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW));
  shadow.ShowWindow(true, false);
  Settle(*loop_, 200);
  EXPECT_TRUE(shadow.Native().SuppressedWithoutCompositor());
  EXPECT_FALSE(gtk_widget_get_mapped(shadow.Native().Toplevel()));
}

}  // namespace
}  // namespace skinui_gtk_test
