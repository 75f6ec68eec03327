// The file server's store: which names it looks up, and that only regular files inside a
// store's own folder are ever opened.

#include "devservice/file_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "support/temp_dir.h"

namespace devservice {
namespace {

using namespace std::string_literals;

TEST(FileStoreNames, KindsNameTheirFolders) {
  EXPECT_EQ(StoreFolderName(0), "Knowlege");
  EXPECT_EQ(StoreFolderName(1), "App");
  EXPECT_EQ(StoreFolderName(2), "UserProfile");
  EXPECT_EQ(StoreFolderName(3), "Platform");
  EXPECT_FALSE(StoreFolderName(4).has_value());
  EXPECT_FALSE(StoreFolderName(-1).has_value());
}

TEST(FileStoreNames, OnlyNamesTheSanitiserLeavesAloneAreServed) {
  for (const std::string& good : {"GB50204-2015.pdf"s, "16G101-1.pdf"s, "图集 第1册.pdf"s,
                                  "..hidden"s, "a..b"s, std::string(255, 'n')}) {
    EXPECT_TRUE(IsServableFileName(good)) << good;
  }
  for (const std::string& bad :
       {""s, "."s, ".."s, "../x"s, "/etc/passwd"s, "a/b"s, "a\\b"s, "..\\x"s, "x\x01y"s, "x\x7Fy"s,
        "tab\tname"s, "\xFF\xFE"s, "caf\xC3"s, "x\0y"s, std::string(256, 'n')}) {
    EXPECT_FALSE(IsServableFileName(bad)) << bad.size() << " bytes";
  }
}

class FileStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.write("files/Knowlege/a.pdf", "document");
    dir_.write("files/App/a.pdf", "package");
    dir_.write("secret.txt", "secret");
    std::filesystem::create_directories(dir_.file("files/Platform/folder"));
    std::filesystem::create_symlink(dir_.file("secret.txt"), dir_.file("files/Knowlege/link.pdf"));
    ASSERT_EQ(mkfifo(dir_.file("files/Knowlege/pipe").c_str(), 0600), 0);
  }

  testing_support::TempDir dir_;
};

TEST_F(FileStoreTest, FilesAreFoundInTheFolderOfTheirKind) {
  const FileStore store(dir_.file("files"));
  FileStore::Lookup document = store.open(0, "a.pdf");
  ASSERT_EQ(document.outcome, FileStore::Outcome::kFound);
  EXPECT_EQ(document.file->read(0, 4096), "document");
  FileStore::Lookup package = store.open(1, "a.pdf");
  ASSERT_EQ(package.outcome, FileStore::Outcome::kFound);
  EXPECT_EQ(package.file->read(0, 4096), "package");
  EXPECT_EQ(store.open(2, "a.pdf").outcome, FileStore::Outcome::kMissing);
  EXPECT_EQ(store.open(4, "a.pdf").outcome, FileStore::Outcome::kUnknownKind);
}

TEST_F(FileStoreTest, LinksFoldersAndPipesAreNotServedAndNothingBlocks) {
  const FileStore store(dir_.file("files"));
  EXPECT_EQ(store.open(0, "link.pdf").outcome, FileStore::Outcome::kMissing);
  EXPECT_EQ(store.open(3, "folder").outcome, FileStore::Outcome::kMissing);
  EXPECT_EQ(store.open(0, "pipe").outcome, FileStore::Outcome::kMissing)
      << "opening a pipe for reading must neither block nor serve it";
  EXPECT_EQ(store.open(0, "../../secret.txt").outcome, FileStore::Outcome::kRefusedName);
  EXPECT_EQ(store.open(0, dir_.file("secret.txt")).outcome, FileStore::Outcome::kRefusedName);
}

TEST_F(FileStoreTest, ReadsAreBoundedByTheFileAndSeeItGrow) {
  const FileStore store(dir_.file("files"));
  FileStore::Lookup lookup = store.open(0, "a.pdf");
  ASSERT_TRUE(lookup.file.has_value());
  const StoredFile& file = *lookup.file;
  EXPECT_EQ(file.size(), 8);
  EXPECT_EQ(file.read(3, 2), "um");
  EXPECT_EQ(file.read(5, 4096), "ent");
  EXPECT_EQ(file.read(8, 4096), "");
  EXPECT_EQ(file.read(100, 4096), "");
  std::ofstream(dir_.file("files/Knowlege/a.pdf"), std::ios::app) << " grows";
  EXPECT_EQ(file.size(), 14);
  EXPECT_EQ(file.read(8, 4096), " grows");
}

TEST(FileStoreRoot, AMissingRootIsAnErrorAtOnce) {
  testing_support::TempDir dir;
  EXPECT_THROW(FileStore(dir.file("absent")), std::runtime_error);
  dir.write("plain", "x");
  EXPECT_THROW(FileStore(dir.file("plain")), std::runtime_error);
}

}  // namespace
}  // namespace devservice
