#include "platform/file_name_sanitiser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::kMaxFileNameBytes;
using platform::SanitiseFileName;

TEST(SanitiseFileName, KeepsOrdinaryNames) {
  EXPECT_EQ(SanitiseFileName("report.pdf"), "report.pdf");
  EXPECT_EQ(SanitiseFileName("建筑施工规范 2015.doc"), "建筑施工规范 2015.doc");
  EXPECT_EQ(SanitiseFileName("...pdf"), "...pdf");
  EXPECT_EQ(SanitiseFileName(".hidden"), ".hidden");
}

TEST(SanitiseFileName, ReplacesSeparatorsOfBothPlatforms) {
  EXPECT_EQ(SanitiseFileName("../../etc/passwd"), ".._.._etc_passwd");
  EXPECT_EQ(SanitiseFileName("..\\..\\boot.ini"), ".._.._boot.ini");
  EXPECT_EQ(SanitiseFileName("/abs"), "_abs");
}

TEST(SanitiseFileName, ReplacesControlCharacters) {
  EXPECT_EQ(SanitiseFileName(std::string("a\0b", 3)), "a_b");
  EXPECT_EQ(SanitiseFileName("tab\there\nx\x7f"), "tab_here_x_");
  EXPECT_EQ(SanitiseFileName("c1\xc2\x85z"), "c1_z");  // U+0085, next line
}

TEST(SanitiseFileName, ReplacesMalformedUtf8ByteByByte) {
  EXPECT_EQ(SanitiseFileName("a\xff"
                             "b"),
            "a_b");
  EXPECT_EQ(SanitiseFileName("\xe5\xbb"), "__");            // truncated sequence
  EXPECT_EQ(SanitiseFileName("\xc0\xaf"), "__");            // overlong '/'
  EXPECT_EQ(SanitiseFileName("\xed\xa0\x80"), "___");       // surrogate
  EXPECT_EQ(SanitiseFileName("\xf4\x90\x80\x80"), "____");  // above U+10FFFF
}

TEST(SanitiseFileName, RefusesNamesThatAreNoComponent) {
  EXPECT_EQ(SanitiseFileName(""), std::nullopt);
  EXPECT_EQ(SanitiseFileName("."), std::nullopt);
  EXPECT_EQ(SanitiseFileName(".."), std::nullopt);
}

TEST(SanitiseFileName, CutsLongNamesKeepingTheExtension) {
  const std::string longName = std::string(300, 'x') + ".pdf";
  const auto cut = SanitiseFileName(longName);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->size(), kMaxFileNameBytes);
  EXPECT_EQ(cut->substr(cut->size() - 4), ".pdf");
  EXPECT_EQ(SanitiseFileName(std::string(255, 'y')), std::string(255, 'y'));
}

TEST(SanitiseFileName, CutsWithoutSplittingACharacter) {
  // 100 characters of three bytes each: 300 bytes, cut to 85 whole characters (255 bytes) ...
  std::string chinese;
  for (int i = 0; i < 100; ++i) chinese += "建";
  const auto cut = SanitiseFileName(chinese);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->size(), 255u);
  // ... and with ".doc" kept, 251 bytes remain for the stem: 83 characters, 249 bytes.
  const auto withExtension = SanitiseFileName(chinese + ".doc");
  ASSERT_TRUE(withExtension);
  EXPECT_EQ(withExtension->size(), 249u + 4u);
  EXPECT_EQ(withExtension->substr(0, 3), "建");
  EXPECT_EQ(withExtension->substr(withExtension->size() - 4), ".doc");
}

TEST(SanitiseFileName, DropsAnOverlongExtensionWhenCutting) {
  const std::string name = "a." + std::string(300, 'e');
  const auto cut = SanitiseFileName(name);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->size(), kMaxFileNameBytes);
  EXPECT_EQ(cut->substr(0, 2), "a.");
}

}  // namespace
