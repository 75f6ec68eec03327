#include "knowledge/file_server_query.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "zelk_lib_stand_in.h"

namespace knowledge {
namespace {

TEST(ParseFileServerReply, TakesAddressPortAndHost) {
  const auto address = ParseFileServerReply(
      R"({"result":1,"msg":"192.168.10.5:8097","msg_ex":"files.example.test:8097"})");
  ASSERT_TRUE(address);
  EXPECT_EQ(address->ServerIp, "192.168.10.5");
  EXPECT_EQ(address->ServerPort, 8097);
  EXPECT_EQ(address->ServerHost, "files.example.test");
  EXPECT_TRUE(address->known());
}

TEST(ParseFileServerReply, SucceedsWithoutAHostName) {
  const auto address = ParseFileServerReply(R"({"result":1,"msg":"10.0.0.1:9000"})");
  ASSERT_TRUE(address);
  EXPECT_EQ(address->ServerHost, "");
  EXPECT_TRUE(address->known());
  const auto bareHost = ParseFileServerReply(R"({"result":1,"msg":"10.0.0.1:9000","msg_ex":"h"})");
  ASSERT_TRUE(bareHost);
  EXPECT_EQ(bareHost->ServerHost, "h");
}

TEST(ParseFileServerReply, FailsWithoutAColonOrWithoutResultOne) {
  EXPECT_FALSE(ParseFileServerReply(R"({"result":1,"msg":"10.0.0.1"})"));
  EXPECT_FALSE(ParseFileServerReply(R"({"result":1})"));
  EXPECT_FALSE(ParseFileServerReply(R"({"result":0,"msg":"10.0.0.1:9000"})"));
  EXPECT_FALSE(ParseFileServerReply(R"({"result":"1","msg":"10.0.0.1:9000"})"));
  EXPECT_FALSE(ParseFileServerReply(R"({"msg":"10.0.0.1:9000"})"));
  EXPECT_FALSE(ParseFileServerReply("<html>operator page</html>"));
  EXPECT_FALSE(ParseFileServerReply(R"([1,"10.0.0.1:9000"])"));
  EXPECT_FALSE(ParseFileServerReply(""));
}

TEST(ParseFileServerReply, OddPortsLeaveTheAddressUnknown) {
  const auto text = ParseFileServerReply(R"({"result":1,"msg":"10.0.0.1:abc"})");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->ServerPort, 0);
  EXPECT_FALSE(text->known());
  EXPECT_EQ(ParseFileServerReply(R"({"result":1,"msg":"10.0.0.1:99999"})")->ServerPort, 0);
  EXPECT_EQ(ParseFileServerReply(R"({"result":1,"msg":"10.0.0.1:-5"})")->ServerPort, 0);
  EXPECT_EQ(ParseFileServerReply(R"({"result":1,"msg":"10.0.0.1:8097x"})")->ServerPort, 8097);
  const auto noIp = ParseFileServerReply(R"({"result":1,"msg":":8097","msg_ex":"h:1"})");
  ASSERT_TRUE(noIp);
  EXPECT_FALSE(noIp->known());
  EXPECT_EQ(noIp->ServerHost, "h");
}

class QueryFileServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ZELK_SERVICE_HOST", "127.0.0.1:8096", 1);
    std::lock_guard lock(knowledge_testing::StandIn().webMutex);
    knowledge_testing::StandIn().requestedUrls.clear();
    knowledge_testing::StandIn().webFails = false;
  }
  void reply(const std::u16string& text) {
    std::lock_guard lock(knowledge_testing::StandIn().webMutex);
    knowledge_testing::StandIn().webReply = text;
  }
  std::vector<std::u16string> urls() {
    std::lock_guard lock(knowledge_testing::StandIn().webMutex);
    return knowledge_testing::StandIn().requestedUrls;
  }

  core::ZelkLibBinding lib = knowledge_testing::MakeStandInBinding();
};

TEST_F(QueryFileServerTest, AsksWithTheKindAndTheUnescapedFileName) {
  reply(uR"({"result":1,"msg":"127.0.0.1:8097","msg_ex":"localhost:8097"})");
  FileServerAddress address;
  ASSERT_TRUE(QueryFileServer(lib, StoreFileKind::App, u"apps/测 试&x.zip", address));
  EXPECT_EQ(address.ServerIp, "127.0.0.1");
  EXPECT_EQ(address.ServerPort, 8097);
  EXPECT_EQ(address.ServerHost, "localhost");
  const auto asked = urls();
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(
      asked.back(),
      u"http://127.0.0.1:8096/zelk/FileServerLiveForm.aspx?kind=3&fileKind=1&fileName=apps/测 "
      u"试&x.zip");
}

TEST_F(QueryFileServerTest, ClearsTheAddressWhenItFails) {
  reply(uR"({"result":0})");
  FileServerAddress address{"1.2.3.4", 5, "old"};
  EXPECT_FALSE(QueryFileServer(lib, StoreFileKind::Knowlege, u"kb/a.pdf", address));
  EXPECT_EQ(address.ServerIp, "");
  EXPECT_EQ(address.ServerPort, 0);
  EXPECT_EQ(address.ServerHost, "");
}

TEST_F(QueryFileServerTest, FailsWhenTheRequestFails) {
  reply(uR"({"result":1,"msg":"127.0.0.1:8097"})");
  {
    std::lock_guard lock(knowledge_testing::StandIn().webMutex);
    knowledge_testing::StandIn().webFails = true;
  }
  FileServerAddress address;
  EXPECT_FALSE(QueryFileServer(lib, StoreFileKind::Knowlege, u"kb/a.pdf", address));
}

TEST_F(QueryFileServerTest, FailsWithoutTheLibrary) {
  const core::ZelkLibBinding none;
  FileServerAddress address;
  EXPECT_FALSE(QueryFileServer(none, StoreFileKind::Knowlege, u"kb/a.pdf", address));
}

}  // namespace
}  // namespace knowledge
