// The sample files the build generated are what the catalogue promises, and the file server
// serves them.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "devservice/app_packages.h"
#include "devservice/catalogue.h"
#include "devservice/file_server.h"
#include "devservice/service_log.h"
#include "platform/paths.h"
#include "raw_file_client.h"
#include "support/temp_dir.h"

namespace devservice {
namespace {

class GeneratedSamples : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::is_directory(DefaultFilesRoot()))
        << "build the devservice_files target first";
    FileServerSettings settings;
    settings.root = DefaultFilesRoot();
    server_ = std::make_unique<FileServer>(settings, log_, drops_);
    port_ = server_->start().port;
  }

  const Catalogue catalogue_ = Catalogue::Load(DefaultDataDir());
  ServiceLog log_{"", false};
  ConnectionDropPlan drops_;
  std::unique_ptr<FileServer> server_;
  int port_ = 0;
};

TEST_F(GeneratedSamples, EveryDocumentIsServedWithTheCataloguesSize) {
  RawFileClient client(port_);
  for (const Document& document : catalogue_.documents()) {
    const auto size = static_cast<std::int32_t>(document.sizeBytes);
    ASSERT_TRUE(client.send(RequestImage(document.fileName, size - 1, 0)));
    const auto block = ReadBlockImage(client.readFrame().value_or(""));
    ASSERT_TRUE(block.has_value()) << document.fileName;
    EXPECT_EQ(block->total, size) << document.fileName;
    EXPECT_EQ(block->count, 1) << document.fileName;
  }
}

TEST_F(GeneratedSamples, AnAppPackageArrivesWholeOverTheProtocol) {
  const App& app = catalogue_.apps().back();
  std::string onDisk;
  ASSERT_TRUE(
      platform::ReadWholeFile(DefaultFilesRoot() + "/App/" + app.installPackageName, onDisk));
  EXPECT_EQ(onDisk, MakeAppPackage(app, catalogue_)) << "generated from the current data";

  RawFileClient client(port_);
  std::string received;
  for (int round = 0; round < 1000; ++round) {
    ASSERT_TRUE(client.send(
        RequestImage(app.installPackageName, static_cast<std::int32_t>(received.size()), 1)));
    const auto block = ReadBlockImage(client.readFrame().value_or(""));
    ASSERT_TRUE(block.has_value());
    received += block->data;
    if (static_cast<std::int32_t>(received.size()) >= block->total) break;
  }
  EXPECT_EQ(received, onDisk);
}

TEST_F(GeneratedSamples, ThePlatformInstallerAndTheAvatarsAreThere) {
  RawFileClient client(port_);
  ASSERT_TRUE(client.send(RequestImage(kFrameworkInstallerName, 0, 3)));
  const auto installer = ReadBlockImage(client.readFrame().value_or(""));
  ASSERT_TRUE(installer.has_value());
  EXPECT_EQ(installer->data, FrameworkInstallerScript());
  for (const std::string& avatar : catalogue_.avatars()) {
    ASSERT_TRUE(client.send(RequestImage(avatar, 0, 2)));
    const auto block = ReadBlockImage(client.readFrame().value_or(""));
    ASSERT_TRUE(block.has_value()) << avatar;
    EXPECT_TRUE(block->data.starts_with("\x89PNG")) << avatar;
  }
}

}  // namespace
}  // namespace devservice
