#include "platform/file_version.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

ZELK_EMBED_FILE_VERSION();

namespace platform {
namespace {

using namespace std::string_literals;

TEST(FileVersion, OnlyAWellFormedMarkerCounts) {
  EXPECT_EQ(FindEmbeddedFileVersion("\x7f"
                                    "ELF..ZELK_FILE_VERSION=3.1.0.0\0tail"s),
            "3.1.0.0");
  // The bare search text, as every program linking the reader holds it, is skipped.
  EXPECT_EQ(FindEmbeddedFileVersion("ZELK_FILE_VERSION=\0xZELK_FILE_VERSION=2.0\0"s), "2.0");
  EXPECT_EQ(FindEmbeddedFileVersion("ZELK_FILE_VERSION=3.1x\0"s), std::nullopt);
  EXPECT_EQ(FindEmbeddedFileVersion("ZELK_FILE_VERSION=.1\0"s), std::nullopt);
  EXPECT_EQ(FindEmbeddedFileVersion("ZELK_FILE_VERSION=3.1.0.0"s), std::nullopt) << "unterminated";
  EXPECT_EQ(FindEmbeddedFileVersion("ZELK_FILE_VERSION="s + std::string(65, '1') + "\0"s),
            std::nullopt);
  EXPECT_EQ(FindEmbeddedFileVersion(""), std::nullopt);
}

TEST(FileVersion, ThisProgramCarriesTheBuildVersion) {
  EXPECT_EQ(ReadEmbeddedFileVersion("/proc/self/exe"), std::string(kBuildVersionText));
  EXPECT_EQ(std::string(kBuildVersionText).find_first_not_of("0123456789."), std::string::npos);
}

TEST(FileVersion, AMarkerAcrossTheReadBlocksIsFoundAndOtherFilesHaveNone) {
  testing_support::TempDir dir;
  for (const std::size_t offset : {(1u << 20) - 25, (1u << 20) - 3, (2u << 20) + 7}) {
    std::string bytes(offset, 'x');
    bytes += "ZELK_FILE_VERSION=4.5.6.7"s + '\0' + "rest";
    const std::string path = dir.write("program", bytes);
    EXPECT_EQ(ReadEmbeddedFileVersion(path), "4.5.6.7") << offset;
  }
  EXPECT_EQ(ReadEmbeddedFileVersion(dir.write("plain.txt", "hello")), std::nullopt);
  EXPECT_EQ(ReadEmbeddedFileVersion(dir.file("missing")), std::nullopt);
  EXPECT_EQ(ReadEmbeddedFileVersion(dir.path()), std::nullopt);
}

}  // namespace
}  // namespace platform
