// The file server inside the development service: the address endpoint names the bound
// server, and the cut switch is set over HTTP.

#include <gtest/gtest.h>
#include <httplib.h>

#include <memory>

#include "devservice/connection_drop_plan.h"
#include "devservice/dev_service.h"
#include "platform/clock.h"
#include "raw_file_client.h"
#include "service_fixture.h"
#include "support/temp_dir.h"

namespace devservice {
namespace {

class FileService : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.write("files/Knowlege/GB50204-2015.pdf", std::string(9000, 'p'));
    ServiceOptions options;
    options.http = HostPort{"127.0.0.1", 0};
    options.files = HostPort{"127.0.0.1", 0};
    options.filesRoot = dir_.file("files");
    options.dataDir = DefaultDataDir();
    options.keyDir = DefaultKeyDir();
    options.stateDir = dir_.file("state");
    service_ = std::make_unique<DevService>(options, clock_, /*echoLog=*/false);
    client_ = std::make_unique<httplib::Client>("127.0.0.1", service_->start());
    client_->set_read_timeout(10);
    ASSERT_TRUE(service_->filesAddress().has_value());
    filesPort_ = service_->filesAddress()->port;
  }

  Json::Value get(const std::string& pathAndQuery) {
    const auto reply = client_->Get(pathAndQuery.c_str());
    EXPECT_TRUE(reply) << pathAndQuery;
    return reply ? ParseJsonObject(reply->body) : Json::Value();
  }

  // Bytes a connection receives while fetching the document block by block, until the whole
  // document has come or the connection ends.
  std::string fetchUntilCut() {
    RawFileClient client(filesPort_);
    std::string received;
    for (std::int32_t offset = 0; offset < 9000; offset += 4096) {
      if (!client.send(RequestImage("GB50204-2015.pdf", offset, 0))) break;
      const std::string frame = client.readAtMost(4116);
      received += frame;
      if (frame.size() < 4116) break;
    }
    return received;
  }

  testing_support::TempDir dir_;
  platform::ManualClock clock_{1'790'000'000'000};
  std::unique_ptr<DevService> service_;
  std::unique_ptr<httplib::Client> client_;
  int filesPort_ = 0;
};

TEST_F(FileService, TheAddressEndpointAndTheFirstLineNameTheBoundFileServer) {
  EXPECT_GT(filesPort_, 0);
  EXPECT_NE(filesPort_, service_->httpPort());
  const std::string port = std::to_string(filesPort_);
  const Json::Value reply =
      get("/zelk/FileServerLiveForm.aspx?kind=3&fileKind=0&fileName=GB50204-2015.pdf");
  EXPECT_EQ(reply["result"].asInt(), 1);
  EXPECT_EQ(reply["msg"].asString(), "127.0.0.1:" + port);
  EXPECT_EQ(reply["msg_ex"].asString(), "localhost:" + port);
  EXPECT_EQ(service_->boundAddressLine(),
            "zelk-devservice http=127.0.0.1:" + std::to_string(service_->httpPort()) +
                " files=127.0.0.1:" + port);

  service_->stop();
  EXPECT_FALSE(service_->filesAddress().has_value());
  EXPECT_FALSE(RawFileClient::Listening(filesPort_)) << "nothing listens after the stop";
}

TEST_F(FileService, TheCutSwitchPlansCutsForTheNextConnectionsInOrder) {
  const Json::Value armed = get("/_dev/files/drop?after=100,4200&count=2");
  EXPECT_EQ(armed["result"].asInt(), 1);
  EXPECT_EQ(armed["pending"].asInt(), 4);
  EXPECT_EQ(armed["cut"].asInt(), 0);

  EXPECT_EQ(fetchUntilCut().size(), 100u);
  EXPECT_EQ(fetchUntilCut().size(), 4200u);
  EXPECT_EQ(fetchUntilCut().size(), 100u);
  const Json::Value status = get("/_dev/files/status");
  EXPECT_EQ(status["pending"].asInt(), 1);
  EXPECT_EQ(status["cut"].asInt(), 3);

  const Json::Value cleared = get("/_dev/files/drop?clear=1");
  EXPECT_EQ(cleared["result"].asInt(), 1);
  EXPECT_EQ(cleared["pending"].asInt(), 0);
  EXPECT_EQ(fetchUntilCut().size(), 3u * 4116u) << "no cut left: the whole file arrives";
}

TEST_F(FileService, TheCutSwitchRefusesWhatItCannotPlan) {
  for (const char* bad :
       {"/_dev/files/drop", "/_dev/files/drop?after=", "/_dev/files/drop?after=abc",
        "/_dev/files/drop?after=-5", "/_dev/files/drop?after=1,,2", "/_dev/files/drop?after=1x",
        "/_dev/files/drop?after=99999999999999999999", "/_dev/files/drop?after=10&count=0",
        "/_dev/files/drop?after=10&count=1001", "/_dev/files/drop?after=1,2&count=1000&clear=0"}) {
    const Json::Value reply = get(bad);
    if (std::string(bad).ends_with("count=1000&clear=0")) {
      EXPECT_EQ(reply["pending"].asInt(), 2000) << "within the limit";
      continue;
    }
    EXPECT_EQ(reply["result"].asInt(), 0) << bad;
  }
  EXPECT_EQ(service_->fileDrops().pending(), 2000u);
  for (int i = 0; i < 49; ++i) get("/_dev/files/drop?after=1,2&count=1000");
  EXPECT_EQ(service_->fileDrops().pending(), ConnectionDropPlan::kMaxPending);
  EXPECT_EQ(get("/_dev/files/drop?after=1")["result"].asInt(), 0) << "the plan is full";
}

}  // namespace
}  // namespace devservice
