#include "zelklib/archive_extractor.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "support/temp_dir.h"

namespace zelklib {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct Entry {
  std::string name;
  std::string data;
  mode_t unixMode = 0;  // 0: leave the archiver's default attributes
  zip_flags_t nameEncoding = ZIP_FL_ENC_UTF_8;
  bool stored = false;     // no compression, so the data can be found in the file
  bool encrypted = false;  // AES with a password the extractor does not have
};

// Builds an archive with libzip, entries written as given (names unchecked, as an attacker
// would write them).
std::string buildArchive(const std::string& path, const std::vector<Entry>& entries) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  EXPECT_NE(archive, nullptr);
  for (const Entry& entry : entries) {
    zip_source_t* source = zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0);
    const bool folder = entry.name.ends_with("/") && entry.data.empty();
    const zip_int64_t index =
        folder ? zip_dir_add(archive, entry.name.c_str(), entry.nameEncoding)
               : zip_file_add(archive, entry.name.c_str(), source, entry.nameEncoding);
    EXPECT_GE(index, 0) << entry.name << ": " << zip_strerror(archive);
    if (folder) zip_source_free(source);
    if (entry.stored)
      zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    if (entry.encrypted) {
      zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256, "secret");
    }
    if (entry.unixMode != 0) {
      zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                       static_cast<zip_uint32_t>(entry.unixMode) << 16);
    }
  }
  EXPECT_EQ(zip_close(archive), 0);
  return path;
}

// Replaces every occurrence of a byte string in a file (both headers hold the name).
void patchFile(const std::string& path, const std::string& from, const std::string& to) {
  ASSERT_EQ(from.size(), to.size());
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::size_t at = 0;
  int replaced = 0;
  while ((at = bytes.find(from, at)) != std::string::npos) {
    bytes.replace(at, from.size(), to);
    ++replaced;
  }
  ASSERT_GT(replaced, 0);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::set<std::string> listTree(const std::string& root) {
  std::set<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    found.insert(fs::relative(entry.path(), root).string());
  }
  return found;
}

// The target lies a few folders deep, so that every escape ends inside the test's own folder,
// where it can be seen.
class ArchiveTest : public ::testing::Test {
 protected:
  std::string sandbox() const { return dir_.file("sandbox"); }
  std::string target() const { return dir_.file("sandbox/a/b/Modules/App"); }
  std::string archive(const std::vector<Entry>& entries) {
    return buildArchive(dir_.file("pkg.zip"), entries);
  }

  testing_support::TempDir dir_;
};

TEST_F(ArchiveTest, APackageIsUnpackedWithFoldersExecutablesAndChineseNames) {
  const std::string gbkName = "\xCE\xC4\xBC\xFE.txt";  // "文件.txt" in GBK, no UTF-8 flag
  const std::string path = archive({{"bin/", ""},
                                    {"bin/tool", "#!/bin/sh\n", S_IFREG | 0755},
                                    {"Version.txt", "1.0\n"},
                                    {"./docs//readme.txt", "hello"},
                                    {"data\\win.txt", "from windows"},
                                    {gbkName, "gbk", 0, ZIP_FL_ENC_CP437},
                                    {"说明.txt", "utf8"}});
  ASSERT_TRUE(ExtractArchive(path, target()));
  EXPECT_EQ(listTree(target()),
            (std::set<std::string>{"bin", "bin/tool", "Version.txt", "docs", "docs/readme.txt",
                                   "data", "data/win.txt", "文件.txt", "说明.txt"}));
  EXPECT_EQ(dir_.read("sandbox/a/b/Modules/App/docs/readme.txt"), "hello");
  EXPECT_EQ(dir_.read("sandbox/a/b/Modules/App/data/win.txt"), "from windows");
  struct stat info {};
  ASSERT_EQ(stat((target() + "/bin/tool").c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IXUSR, 0u);
  ASSERT_EQ(stat((target() + "/Version.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & S_IXUSR, 0u);
  EXPECT_EQ(listTree(dir_.file("sandbox/a/b/Modules")).count("App"), 1u);
  EXPECT_EQ(listTree(dir_.file("sandbox/a/b/Modules")).size(), listTree(target()).size() + 1)
      << "no temporary folder is left beside the target";
}

TEST_F(ArchiveTest, AnUpgradeReplacesFilesAndKeepsOthersWithoutFollowingLinksInTheTarget) {
  dir_.write("sandbox/a/b/Modules/App/Version.txt", "0.9\n");
  dir_.write("sandbox/a/b/Modules/App/user.cfg", "mine");
  dir_.write("sandbox/outside/keep.txt", "untouched");
  fs::create_directory_symlink(dir_.file("sandbox/outside"), target() + "/lib");
  ASSERT_TRUE(
      ExtractArchive(archive({{"Version.txt", "1.0\n"}, {"lib/keep.txt", "new"}}), target()));
  EXPECT_EQ(dir_.read("sandbox/a/b/Modules/App/Version.txt"), "1.0\n");
  EXPECT_EQ(dir_.read("sandbox/a/b/Modules/App/user.cfg"), "mine");
  EXPECT_EQ(dir_.read("sandbox/outside/keep.txt"), "untouched");
  EXPECT_FALSE(fs::is_symlink(target() + "/lib"));
  EXPECT_EQ(dir_.read("sandbox/a/b/Modules/App/lib/keep.txt"), "new");
}

TEST_F(ArchiveTest, TwentyFiveHostileArchivesAreRefusedAndNothingIsWritten) {
  const std::string abs = dir_.file("sandbox/abs-evil.txt");
  std::vector<std::pair<std::string, std::function<std::string()>>> cases = {
      {"parent",
       [&] {
         return archive({{"ok.txt", "x"}, {"../evil.txt", "x"}});
       }},
      {"deep parent",
       [&] {
         return archive({{"a/../../evil.txt", "x"}});
       }},
      {"many parents",
       [&] {
         return archive({{"../../../../evil.txt", "x"}});
       }},
      {"absolute",
       [&] {
         return archive({{abs, "x"}});
       }},
      {"backslash parent",
       [&] {
         return archive({{"..\\evil.txt", "x"}});
       }},
      {"mixed separators",
       [&] {
         return archive({{"a\\..\\..\\evil.txt", "x"}});
       }},
      {"dot segments",
       [&] {
         return archive({{"a/./../../evil.txt", "x"}});
       }},
      {"drive absolute",
       [&] {
         return archive({{"C:/evil.txt", "x"}});
       }},
      {"drive relative",
       [&] {
         return archive({{"C:evil.txt", "x"}});
       }},
      {"drive backslash",
       [&] {
         return archive({{"C:\\Windows\\evil.txt", "x"}});
       }},
      {"unc",
       [&] {
         return archive({{"\\\\server\\share\\evil.txt", "x"}});
       }},
      {"leading backslash",
       [&] {
         return archive({{"\\evil.txt", "x"}});
       }},
      {"bare parent",
       [&] {
         return archive({{"../", ""}});
       }},
      {"symlink out",
       [&] {
         return archive({{"link", dir_.file("sandbox"), S_IFLNK | 0777}});
       }},
      {"symlink then write",
       [&] {
         return archive({{"link", "../../..", S_IFLNK | 0777}, {"link/evil.txt", "x"}});
       }},
      {"fifo",
       [&] {
         return archive({{"pipe", "", S_IFIFO | 0644}});
       }},
      {"character device",
       [&] {
         return archive({{"tty", "", S_IFCHR | 0666}});
       }},
      {"block device",
       [&] {
         return archive({{"disk", "", S_IFBLK | 0666}});
       }},
      {"socket",
       [&] {
         return archive({{"sock", "", S_IFSOCK | 0666}});
       }},
      {"control character",
       [&] {
         return archive({{"evil\n.txt", "x"}});
       }},
      {"long segment",
       [&] {
         return archive({{std::string(300, 'a') + ".txt", "x"}});
       }},
      {"encrypted",
       [&] {
         return archive({{"secret.txt", "x", 0, ZIP_FL_ENC_UTF_8, false, true}});
       }},
      {"declared size beyond the cap",
       [&] {
         const std::string path = archive({{"big.bin", std::string(4096, 'z'), 0}});
         // The size fields of both headers: 4096 becomes 0xFFFFFF00.
         patchFile(path, "\x00\x10\x00\x00"s, "\x00\xFF\xFF\xFF"s);
         return path;
       }},
      {"not an archive", [&] { return dir_.write("pkg.zip", "PK\x03\x04 but nothing more"); }},
      {"damaged data",
       [&] {
         const std::string path =
             archive({{"a.txt", std::string(1000, 'q'), 0, ZIP_FL_ENC_UTF_8, true}});
         patchFile(path, std::string(20, 'q'), std::string(20, 'r'));
         return path;
       }},
  };
  ASSERT_EQ(cases.size(), 25u);
  dir_.write("sandbox/marker", "before");
  const auto before = listTree(sandbox());
  for (auto& [name, make] : cases) {
    const std::string path = make();
    EXPECT_FALSE(ExtractArchive(path, target())) << name;
    EXPECT_EQ(listTree(sandbox()), before) << name;
  }
}

TEST_F(ArchiveTest, SizeLimitsApplyToTheWholeArchiveAndToCompressionRatio) {
  const std::string bomb = archive({{"zeros.bin", std::string(4 << 20, '\0')}});
  ExtractLimits limits;
  limits.ratioCheckBytes = 1 << 20;
  limits.maxRatio = 100;
  EXPECT_FALSE(ExtractArchive(bomb, target(), limits));
  limits.maxRatio = 100000;
  EXPECT_TRUE(ExtractArchive(bomb, target(), limits));

  const std::string two =
      archive({{"a.bin", std::string(600, 'a')}, {"b.bin", std::string(600, 'b')}});
  limits.maxTotalBytes = 1000;
  EXPECT_FALSE(ExtractArchive(two, dir_.file("sandbox/other"), limits));
  limits.maxTotalBytes = 1200;
  EXPECT_TRUE(ExtractArchive(two, dir_.file("sandbox/other"), limits));
  limits.maxEntries = 1;
  EXPECT_FALSE(ExtractArchive(two, dir_.file("sandbox/third"), limits));
  EXPECT_FALSE(fs::exists(dir_.file("sandbox/third")));
}

TEST(ArchiveNames, EntryNamesMapToPathsInsideTheTargetOrAreRefused) {
  EXPECT_EQ(SafeEntryPath("a/b.txt"), "a/b.txt");
  EXPECT_EQ(SafeEntryPath("a\\b.txt"), "a/b.txt");
  EXPECT_EQ(SafeEntryPath("./a//b/"), "a/b");
  EXPECT_EQ(SafeEntryPath("./"), "");
  EXPECT_EQ(SafeEntryPath("a..b/..c"), "a..b/..c") << "dots inside names are fine";
  EXPECT_EQ(SafeEntryPath("中文/文件.txt"), "中文/文件.txt");
  for (const char* bad : {"", "..", "a/..", "/x", "\\x", "C:x", "z:/x", "a/\x01", "a\x7f"}) {
    EXPECT_EQ(SafeEntryPath(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(EntryNameToUtf8("plain/名字"), "plain/名字");
  EXPECT_EQ(EntryNameToUtf8("\xD6\xD0\xCE\xC4"), "中文");
  EXPECT_EQ(EntryNameToUtf8("\x81"), std::nullopt) << "a lone lead byte is neither UTF-8 nor GBK";
}

}  // namespace
}  // namespace zelklib
