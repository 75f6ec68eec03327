// App packages hold what their manifest names, and their program really runs.

#include "devservice/app_packages.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <zip.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "devservice/catalogue.h"
#include "devservice/options.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace devservice {
namespace {

struct PackedFile {
  std::string name;
  std::string content;
  std::uint8_t system = 0;
  std::uint32_t mode = 0;
};

std::vector<PackedFile> Unpack(const std::string& archiveBytes) {
  std::vector<PackedFile> files;
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source =
      zip_source_buffer_create(archiveBytes.data(), archiveBytes.size(), 0, &error);
  zip_t* archive = source != nullptr ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  zip_error_fini(&error);
  if (archive == nullptr) {
    ADD_FAILURE() << "not a zip archive";
    if (source != nullptr) zip_source_free(source);
    return files;
  }
  for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
    const auto index = static_cast<zip_uint64_t>(i);
    zip_stat_t stat;
    zip_stat_index(archive, index, 0, &stat);
    PackedFile file{stat.name, std::string(stat.size, '\0')};
    zip_uint32_t attributes = 0;
    zip_file_get_external_attributes(archive, index, 0, &file.system, &attributes);
    file.mode = attributes >> 16;
    zip_file_t* entry = zip_fopen_index(archive, index, 0);
    if (entry != nullptr) {
      zip_fread(entry, file.content.data(), file.content.size());
      zip_fclose(entry);
    }
    files.push_back(std::move(file));
  }
  zip_close(archive);
  return files;
}

struct ProgramRun {
  int exitCode = -1;
  std::string output;
};

ProgramRun RunProgram(const std::string& command) {
  ProgramRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[512];
  std::size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class AppPackages : public ::testing::Test {
 protected:
  const Catalogue catalogue_ = Catalogue::Load(DefaultDataDir());
};

TEST_F(AppPackages, HoldTheManifestsFilesInOrder) {
  const App& app = catalogue_.apps().front();
  ASSERT_EQ(app.appName, "RebarWeight");
  const std::vector<PackedFile> files = Unpack(MakeAppPackage(app, catalogue_));
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].name, "RebarWeight");
  EXPECT_TRUE(files[0].content.starts_with("#!/bin/sh\n"));
  EXPECT_EQ(files[0].system, ZIP_OPSYS_UNIX);
  EXPECT_EQ(files[0].mode, static_cast<std::uint32_t>(S_IFREG | 0755));
  EXPECT_EQ(files[1].name, "Version.txt");
  EXPECT_EQ(files[1].content, "1.2.0\n");
  EXPECT_EQ(files[1].mode, static_cast<std::uint32_t>(S_IFREG | 0644));
  EXPECT_EQ(files[2].name, "icon.png");
  std::string picture;
  ASSERT_TRUE(
      platform::ReadWholeFile(catalogue_.pathOf("pictures/icons/RebarWeight.png"), picture));
  EXPECT_EQ(files[2].content, picture);
  EXPECT_EQ(MakeAppPackage(app, catalogue_), MakeAppPackage(app, catalogue_));
}

TEST_F(AppPackages, TheProgramRunsAndSaysWhichAppAndVersionItIs) {
  testing_support::TempDir dir;
  for (const PackedFile& file : Unpack(MakeAppPackage(catalogue_.apps().front(), catalogue_))) {
    const std::string path = dir.write("RebarWeight/" + file.name, file.content);
    chmod(path.c_str(), file.mode & 07777);
  }
  const ProgramRun run = RunProgram(dir.file("RebarWeight/RebarWeight") + " --from home 2>&1");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, "钢筋重量计算器 1.2.0 已启动\n");
  const std::string log = dir.read("RebarWeight/run.log");
  EXPECT_TRUE(log.ends_with(" 钢筋重量计算器 1.2.0 --from home\n")) << log;
}

TEST_F(AppPackages, ADisplayNameIsShownAsTextNeverRunAsCommands) {
  App app = catalogue_.apps().front();
  app.displayName = "It's \"$(touch pwned)\" `touch pwned` $HOME";
  testing_support::TempDir dir;
  const std::string program = dir.write("app/RebarWeight", AppProgramScript(app));
  dir.write("app/Version.txt", "9.9\n");
  chmod(program.c_str(), 0755);
  const ProgramRun run = RunProgram("cd " + dir.path() + " && " + program + " 2>&1");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, "It's \"$(touch pwned)\" `touch pwned` $HOME 9.9 已启动\n");
  struct stat status {};
  EXPECT_NE(stat(dir.file("pwned").c_str(), &status), 0);
}

TEST_F(AppPackages, UnknownEntriesAndMissingPicturesAreFaultsOfTheSampleData) {
  App app = catalogue_.apps().front();
  app.package.push_back(PackageEntry{"readme.txt", "manual", "", ""});
  EXPECT_THROW(MakeAppPackage(app, catalogue_), std::runtime_error);
  app = catalogue_.apps().front();
  app.package.back().source = "pictures/icons/none.png";
  EXPECT_THROW(MakeAppPackage(app, catalogue_), std::runtime_error);
}

TEST(FrameworkInstaller, TakesTheSilentArgumentsAndSucceeds) {
  testing_support::TempDir dir;
  const std::string installer = dir.write(kFrameworkInstallerName, FrameworkInstallerScript());
  chmod(installer.c_str(), 0755);
  const ProgramRun run = RunProgram(installer + " /q /norestart");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.output.find("/q /norestart"), std::string::npos);
}

}  // namespace
}  // namespace devservice
