#include "account/account_area_layout.h"

#include <gtest/gtest.h>

namespace account {
namespace {

TEST(AccountAreaLayoutTest, TheBoxSitsInTheMiddleBelowTheBars) {
  // 1200 × 900 with a caption bar of 32, a tool bar of 88 and a box of 420 × 320.
  const AreaOffsets offsets = CentreAccountArea(1200, 900, 32, 88, 420, 320);
  EXPECT_EQ(offsets.left, 385);
  EXPECT_EQ(offsets.top, 218);
}

TEST(AccountAreaLayoutTest, OddRemaindersAreCutTowardZero) {
  EXPECT_EQ(CentreAccountArea(1201, 901, 32, 88, 420, 320).left, 385);
  EXPECT_EQ(CentreAccountArea(1201, 901, 32, 88, 420, 320).top, 218);
  // Smaller than the box: negative, truncated toward zero (-3 / 2 is -1).
  EXPECT_EQ(CentreAccountArea(427, 900, 32, 88, 420, 320).left, -1);
}

}  // namespace
}  // namespace account
