#include "core/update_mark.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "support/temp_dir.h"

namespace core {
namespace {

class UpdateMarkTest : public ::testing::Test {
 protected:
  void mark(const std::string& content) { dir_.write("judgeUpdate.txt", content); }
  testing_support::TempDir dir_;
};

TEST_F(UpdateMarkTest, MissingFileMeansNeither) {
  EXPECT_FALSE(IsUpdatePending(dir_.path()));
  EXPECT_FALSE(IsIntroducePending(dir_.path()));
}

TEST_F(UpdateMarkTest, EmptyFileOrEmptyFirstLineMeansNeither) {
  mark("");
  EXPECT_FALSE(IsUpdatePending(dir_.path()));
  EXPECT_FALSE(IsIntroducePending(dir_.path()));
  mark("\n1\n");
  EXPECT_FALSE(IsUpdatePending(dir_.path()));
}

TEST_F(UpdateMarkTest, OneMeansAnUpdateWaitsWithAnyLineEnd) {
  for (const char* content : {"1", "1\n", "1\r\n", "1\nignored second line\n"}) {
    mark(content);
    EXPECT_TRUE(IsUpdatePending(dir_.path())) << content;
    EXPECT_FALSE(IsIntroducePending(dir_.path())) << content;
  }
}

TEST_F(UpdateMarkTest, TwoMeansTheIntroductionIsShown) {
  mark("2\r\n");
  EXPECT_TRUE(IsIntroducePending(dir_.path()));
  EXPECT_FALSE(IsUpdatePending(dir_.path()));
}

TEST_F(UpdateMarkTest, OnlyTheExactMarkCounts) {
  for (const char* content : {" 1", "1 ", "11", "01", "1\t", "2\n\n", "x\n1\n",
                              "\xEF\xBB\xBF"
                              "1"}) {
    mark(content);
    EXPECT_FALSE(IsUpdatePending(dir_.path())) << content;
  }
}

TEST_F(UpdateMarkTest, FirstLineIsReadUpTo1023Bytes) {
  mark(std::string(1023, 'a') + "bc\n");
  EXPECT_EQ(ReadFirstLine(dir_.file("judgeUpdate.txt")), std::u16string(1023, u'a'));
  mark(std::string(5000, '1'));
  EXPECT_FALSE(IsUpdatePending(dir_.path()));
}

TEST_F(UpdateMarkTest, FirstLineIsReadInTheSystemCodePage) {
  platform::SetAnsiCodesetOverride("GBK");
  mark("\xC4\xE3\xBA\xC3\r\n");
  const auto line = ReadFirstLine(dir_.file("judgeUpdate.txt"));
  platform::SetAnsiCodesetOverride("");
  EXPECT_EQ(line, u"你好");
}

TEST_F(UpdateMarkTest, UnreadableFileHasNoFirstLine) {
  EXPECT_EQ(ReadFirstLine(dir_.file("absent.txt")), std::nullopt);
}

TEST_F(UpdateMarkTest, WrittenMarkReadsBack) {
  ASSERT_TRUE(WriteUpdateMark(dir_.path(), "1"));
  EXPECT_TRUE(IsUpdatePending(dir_.path()));
  ASSERT_TRUE(WriteUpdateMark(dir_.path(), "2"));
  EXPECT_TRUE(IsIntroducePending(dir_.path()));
  EXPECT_EQ(dir_.read("judgeUpdate.txt"), "2\n");
  ASSERT_TRUE(WriteUpdateMark(dir_.path(), ""));
  EXPECT_FALSE(IsUpdatePending(dir_.path()));
  EXPECT_FALSE(IsIntroducePending(dir_.path()));
}

}  // namespace
}  // namespace core
