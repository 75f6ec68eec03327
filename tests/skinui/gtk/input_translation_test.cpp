#include "skinui/gtk/input_translation.h"

#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

#include "skinui/window_messages.h"

namespace skinui::gtk {
namespace {

TEST(InputTranslationTest, KeysTheLibraryActsOnGetTheirCodes) {
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_Return), VK_RETURN);
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_KP_Enter), VK_RETURN);
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_Escape), VK_ESCAPE);
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_Tab), VK_TAB);
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_ISO_Left_Tab), VK_TAB);
}

TEST(InputTranslationTest, LettersDigitsArrowsAndFunctionKeys) {
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_a), std::uintptr_t{'A'});
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_Z), std::uintptr_t{'Z'});
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_7), std::uintptr_t{'7'});
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_KP_3), 0x63u);
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_Up), 0x26u);
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_Down), 0x28u);
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_F1), 0x70u);
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_F12), 0x7Bu);
}

TEST(InputTranslationTest, ModifiersAndDeadKeysHaveNoCode) {
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_Shift_L), 0u);
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_Control_R), 0u);
  EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_dead_acute), 0u);
}

TEST(InputTranslationTest, EveryResizeZoneHasItsEdgeAndCursor) {
  const struct {
    std::intptr_t hit;
    GdkWindowEdge edge;
    const char* cursor;
  } zones[] = {
      {HTLEFT, GDK_WINDOW_EDGE_WEST, "w-resize"},
      {HTRIGHT, GDK_WINDOW_EDGE_EAST, "e-resize"},
      {HTTOP, GDK_WINDOW_EDGE_NORTH, "n-resize"},
      {HTBOTTOM, GDK_WINDOW_EDGE_SOUTH, "s-resize"},
      {HTTOPLEFT, GDK_WINDOW_EDGE_NORTH_WEST, "nw-resize"},
      {HTTOPRIGHT, GDK_WINDOW_EDGE_NORTH_EAST, "ne-resize"},
      {HTBOTTOMLEFT, GDK_WINDOW_EDGE_SOUTH_WEST, "sw-resize"},
      {HTBOTTOMRIGHT, GDK_WINDOW_EDGE_SOUTH_EAST, "se-resize"},
  };
  for (const auto& zone : zones) {
    ASSERT_TRUE(ResizeEdgeForHitTest(zone.hit).has_value()) << zone.hit;
    EXPECT_EQ(*ResizeEdgeForHitTest(zone.hit), zone.edge) << zone.hit;
    EXPECT_STREQ(CursorNameForHitTest(zone.hit), zone.cursor) << zone.hit;
  }
}

TEST(InputTranslationTest, CaptionAndClientAreNotResizeZones) {
  for (const std::intptr_t hit : {HTCLIENT, HTCAPTION, std::intptr_t{0}, std::intptr_t{99}}) {
    EXPECT_FALSE(ResizeEdgeForHitTest(hit).has_value()) << hit;
    EXPECT_EQ(CursorNameForHitTest(hit), nullptr) << hit;
  }
}

TEST(InputTranslationTest, WheelNotchesAreOneHundredTwentyAwayFromTheUser) {
  EXPECT_EQ(WheelDeltaFromScroll(GDK_SCROLL_UP, 0), 120);
  EXPECT_EQ(WheelDeltaFromScroll(GDK_SCROLL_DOWN, 0), -120);
  EXPECT_EQ(WheelDeltaFromScroll(GDK_SCROLL_SMOOTH, 1.0), -120);
  EXPECT_EQ(WheelDeltaFromScroll(GDK_SCROLL_SMOOTH, -0.5), 60);
  EXPECT_EQ(WheelDeltaFromScroll(GDK_SCROLL_LEFT, 0), 0);
}

}  // namespace
}  // namespace skinui::gtk
