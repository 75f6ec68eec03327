#include "skinui/gtk/desktop_choice.h"

#include <gtest/gtest.h>

namespace skinui::gtk {
namespace {

TEST(DesktopChoiceTest, ADisplayOfEitherKindOpensTheDesktop) {
  EXPECT_TRUE(DesktopRequested(":0", nullptr, nullptr));
  EXPECT_TRUE(DesktopRequested("localhost:10.0", nullptr, nullptr));  // SSH X forwarding
  EXPECT_TRUE(DesktopRequested(nullptr, "wayland-0", nullptr));
  EXPECT_TRUE(DesktopRequested(":0", "wayland-0", ""));
}

TEST(DesktopChoiceTest, HeadlessWinsOverAnyDisplay) {
  EXPECT_FALSE(DesktopRequested(":0", "wayland-0", "1"));
  EXPECT_FALSE(DesktopRequested(":0", nullptr, "yes"));
}

TEST(DesktopChoiceTest, NoDisplayMeansHeadless) {
  EXPECT_FALSE(DesktopRequested(nullptr, nullptr, nullptr));
  EXPECT_FALSE(DesktopRequested("", "", nullptr));
}

}  // namespace
}  // namespace skinui::gtk
