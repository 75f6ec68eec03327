// The knowledge transfer against the local development service and the real support library:
// the address query goes over HTTP to the service, which names the file server; the engine
// then fetches the file from it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "devservice/dev_service.h"
#include "knowledge/download_engine.h"
#include "knowledge/download_messages.h"
#include "knowledge/file_server_query.h"
#include "platform/code_page.h"
#include "platform/dynamic_library.h"
#include "platform/headless_message_loop.h"
#include "support/temp_dir.h"
#include "test_file_server.h"

namespace knowledge {
namespace {

using knowledge_testing::PeerSocket;
using knowledge_testing::TestFileServer;

class EndRecorder : public platform::MessageTarget {
 public:
  void onMessage(platform::Message& message) override {
    if (auto* ended = message.payload.get<DownloadEnded>()) {
      result = ended->Result;
      reason = ended->Reason;
    }
  }
  std::int32_t result = -1;
  std::u16string reason;
};

class KnowledgeServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lib.loaded());
    devservice::ServiceOptions options;
    options.http = devservice::HostPort{"127.0.0.1", 0};
    options.dataDir = devservice::DefaultDataDir();
    options.keyDir = devservice::DefaultKeyDir();
    options.stateDir = temp.path() + "/state";
    service = std::make_unique<devservice::DevService>(options, clock, /*echoLog=*/false);
    const int port = service->start();
    setenv("ZELK_SERVICE_HOST", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
  }
  void TearDown() override { service.reset(); }

  testing_support::TempDir temp;
  platform::SystemClock& clock = platform::SystemClock::instance();
  core::ZelkLibBinding lib{platform::DynamicLibrary::open(ZELK_REAL_LIBRARY)};
  std::unique_ptr<devservice::DevService> service;
};

TEST_F(KnowledgeServiceTest, TheServiceNamesTheFileServer) {
  service->setFileServerAddress(devservice::HostPort{"127.0.0.1", 47011});
  FileServerAddress address;
  ASSERT_TRUE(QueryFileServer(lib, StoreFileKind::App, u"sample.zip", address));
  EXPECT_EQ(address.ServerIp, "127.0.0.1");
  EXPECT_EQ(address.ServerPort, 47011);
  EXPECT_EQ(address.ServerHost, "localhost");
}

TEST_F(KnowledgeServiceTest, WithoutAFileServerTheQueryFails) {
  service->setFileServerAddress(std::nullopt);
  FileServerAddress address{"1.2.3.4", 1, "x"};
  EXPECT_FALSE(QueryFileServer(lib, StoreFileKind::Knowlege, u"sample.pdf", address));
  EXPECT_FALSE(address.known());
}

TEST_F(KnowledgeServiceTest, TheEngineFetchesFromTheServerTheServiceNames) {
  std::string content(300 * 1024, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 31 % 251);
  TestFileServer files([&](PeerSocket& peer, int) { files.ServeFile(peer, content); });
  service->setFileServerAddress(devservice::HostPort{"127.0.0.1", files.port()});

  platform::ManualClock manual;
  platform::HeadlessMessageLoop loop(manual);
  EndRecorder recorder;
  const platform::WindowId window = loop.addTarget(recorder);
  DownloadEngine engine(core::ServiceContext{&lib, &loop, window}, {});
  const std::string local = temp.file("Downloads/Knowlege/规范.pdf");
  ASSERT_TRUE(engine.StartDownload(window, u"sample.pdf", platform::Utf8ToUtf16(local),
                                   StoreFileKind::Knowlege, MakeFileServerQuery(lib), 5));
  ASSERT_TRUE(loop.waitIdle(60000));
  EXPECT_EQ(recorder.result, kDownloadResultFinished) << platform::Utf16ToUtf8(recorder.reason);
  EXPECT_EQ(temp.read("Downloads/Knowlege/规范.pdf"), content);
  EXPECT_EQ(engine.serverAddress().ServerPort, files.port());
  ASSERT_FALSE(files.requests().empty());
  EXPECT_EQ(files.requests()[0].fileName, "sample.pdf");
}

}  // namespace
}  // namespace knowledge
