#include "knowledge/status_line.h"

#include <gtest/gtest.h>

namespace knowledge {
namespace {

TEST(RemainingTime, FollowsTheHourMinuteSecondRules) {
  EXPECT_EQ(RemainingTimeText(3725), u"1时2分5秒");
  EXPECT_EQ(RemainingTimeText(59), u"59秒");
  EXPECT_EQ(RemainingTimeText(3600), u"60分0秒");
  EXPECT_EQ(RemainingTimeText(3601), u"1时1秒");
  EXPECT_EQ(RemainingTimeText(60), u"1分0秒");
  EXPECT_EQ(RemainingTimeText(0), u"0秒");
  EXPECT_EQ(RemainingTimeText(90061), u"25时1分1秒");
}

TEST(UpdateStatus, FormatsTheDocumentedExample) {
  const auto update = UpdateStatus(5242880, 1048576, 786432);
  ASSERT_TRUE(update.status);
  EXPECT_EQ(*update.status,
            u"下载状态:文件大小:5.00M - 下载进度:20.00% - 下载速度:512.00K/S - 剩余时间:8秒");
  EXPECT_EQ(update.progressValue, 20);
  EXPECT_EQ(update.lastDone, 1048576);
}

TEST(UpdateStatus, SameDoneAsBeforeKeepsTheStatusLine) {
  const auto update = UpdateStatus(5242880, 1048576, 1048576);
  EXPECT_FALSE(update.status);
  EXPECT_EQ(update.progressValue, 20);
  EXPECT_EQ(update.lastDone, 1048576);
}

TEST(UpdateStatus, FirstMessageOnlyResetsLastDone) {
  const auto update = UpdateStatus(100, 0, 734003);
  EXPECT_FALSE(update.status);
  EXPECT_FALSE(update.progressValue);
  EXPECT_EQ(update.lastDone, 0);
}

TEST(UpdateStatus, TruncatesThePercentageForTheProgressBar) {
  const auto update = UpdateStatus(3000, 2999, 0);
  EXPECT_EQ(update.progressValue, 99);
  ASSERT_TRUE(update.status);
  EXPECT_NE(update.status->find(u"下载进度:99.97%"), std::u16string::npos);
}

TEST(UpdateStatus, CapsThePercentageAtOneHundred) {
  // The last message of a local file longer than the server's: done above total.
  const auto update = UpdateStatus(1000, 5000, 0);
  EXPECT_EQ(update.progressValue, 100);
  ASSERT_TRUE(update.status);
  EXPECT_NE(update.status->find(u"下载进度:100.00%"), std::u16string::npos);
  EXPECT_NE(update.status->find(u"剩余时间:0秒"), std::u16string::npos);
}

TEST(UpdateStatus, ComputesSpeedAndTimeInSinglePrecision) {
  // 10 MiB file, 1 MiB done, 100 KiB in the last half second: 200 K/S, 9 MiB left at
  // 200 KiB/s = 46.08 s, truncated to 46.
  const auto update = UpdateStatus(10485760, 1048576, 1048576 - 102400);
  ASSERT_TRUE(update.status);
  EXPECT_EQ(*update.status,
            u"下载状态:文件大小:10.00M - 下载进度:10.00% - 下载速度:200.00K/S - 剩余时间:46秒");
}

TEST(UpdateStatus, ZeroTotalGivesNoPercentage) {
  const auto update = UpdateStatus(0, 10, 0);
  EXPECT_FALSE(update.progressValue);
  ASSERT_TRUE(update.status);
  EXPECT_NE(update.status->find(u"下载进度:0.00%"), std::u16string::npos);
}

}  // namespace
}  // namespace knowledge
