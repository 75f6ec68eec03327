// The generator writes one whole generation of the file server's files for a catalogue.

#include "devservice/sample_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "devservice/app_packages.h"
#include "devservice/options.h"
#include "support/temp_dir.h"

namespace devservice {
namespace {

constexpr char kFewDocuments[] = R"({
  "types": [{"id": 1, "name": "规范标准"}, {"id": 2, "name": "施工方案"}],
  "documents": [
    {"downid": 1, "type": 1, "title": "规范", "info": "简介", "filename": "a.pdf",
     "size": 70000, "date": "2015-09-01", "publisher": "部"},
    {"downid": 2, "type": 2, "title": "方案", "info": "简介", "filename": "b.docx",
     "size": 20000, "date": "2016-01-01", "publisher": "局"},
    {"downid": 3, "type": 2, "title": "图纸", "info": "简介", "filename": "c.dwg",
     "size": 5000, "date": "2016-01-01", "publisher": "院"}
  ]
})";

TEST(SampleFiles, EveryStoreGetsItsFilesAndAnOlderGenerationIsReplacedWhole) {
  testing_support::TempDir dir;
  std::filesystem::copy(DefaultDataDir(), dir.file("data"),
                        std::filesystem::copy_options::recursive);
  dir.write("data/documents.json", kFewDocuments);
  const Catalogue catalogue = Catalogue::Load(dir.file("data"));
  dir.write("files/Knowlege/stale.pdf", "from an older catalogue");

  const SampleFilesSummary summary = GenerateSampleFiles(catalogue, dir.file("files"));

  EXPECT_EQ(std::filesystem::file_size(dir.file("files/Knowlege/a.pdf")), 70000u);
  EXPECT_EQ(std::filesystem::file_size(dir.file("files/Knowlege/b.docx")), 20000u);
  EXPECT_EQ(std::filesystem::file_size(dir.file("files/Knowlege/c.dwg")), 5000u);
  EXPECT_FALSE(std::filesystem::exists(dir.file("files/Knowlege/stale.pdf")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("files.new")));
  for (const App& app : catalogue.apps()) {
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("files/App/" + app.installPackageName)))
        << app.installPackageName;
  }
  for (const std::string& avatar : catalogue.avatars()) {
    EXPECT_EQ(dir.read("files/UserProfile/" + avatar), dir.read("data/pictures/avatars/" + avatar));
  }
  const std::string installer = dir.file(std::string("files/Platform/") + kFrameworkInstallerName);
  struct stat status {};
  ASSERT_EQ(stat(installer.c_str(), &status), 0);
  EXPECT_NE(status.st_mode & S_IXUSR, 0u);
  const auto upgrades =
      std::count_if(catalogue.apps().begin(), catalogue.apps().end(),
                    [](const App& app) { return !app.upgradePackageName.empty(); });
  const int expectedFiles = 3 + static_cast<int>(catalogue.apps().size() + upgrades) +
                            static_cast<int>(catalogue.avatars().size()) + 1;
  EXPECT_EQ(summary.files, expectedFiles);
  EXPECT_GT(summary.bytes, 95000);
}

// The catalogue takes a C1 control character (U+0085) in a name; the file server would refuse
// the name, so the generator refuses to write it.
TEST(SampleFiles, ANameTheFileServerWouldRefuseStopsTheGeneration) {
  testing_support::TempDir dir;
  std::filesystem::copy(DefaultDataDir(), dir.file("data"),
                        std::filesystem::copy_options::recursive);
  std::string documents = kFewDocuments;
  documents.replace(documents.find("\"c.dwg\""), 7, "\"c\\u0085.dwg\"");
  dir.write("data/documents.json", documents);
  const Catalogue catalogue = Catalogue::Load(dir.file("data"));
  EXPECT_THROW(GenerateSampleFiles(catalogue, dir.file("files")), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(dir.file("files")));
}

}  // namespace
}  // namespace devservice
