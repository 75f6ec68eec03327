#include <gtest/gtest.h>
#include <sodium.h>

#include <fstream>
#include <vector>

#include "devservice/hijack_switch.h"
#include "devservice/options.h"
#include "devservice/router.h"
#include "net/endpoints.h"
#include "net/json_reply.h"
#include "net/service_requests.h"
#include "net/service_transfer.h"
#include "net/text_conversion.h"
#include "platform/code_page.h"
#include "support/local_service.h"

namespace net {
namespace {

std::size_t countOf(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class ServiceIntegration : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(local.lib().loaded()) << "libZelkLib.so not staged"; }

  std::optional<Json::Value> get(const std::u16string& pathTemplate,
                                 const std::vector<UrlValue>& values) {
    const auto url = ServiceRequestUrl(local.lib(), pathTemplate, values);
    if (!url) return std::nullopt;
    std::string reply;
    if (!GetServiceContent(local.lib(), *url, reply)) return std::nullopt;
    return ParseServiceReply(reply);
  }

  net_testing::LocalService local;
};

TEST_F(ServiceIntegration, AHijackingOperatorGetsExactlySixRequestsAndTheCallerTheSixthReply) {
  local.service().hijack().arm("zelk/NewsApi.aspx", 100);
  std::string reply;
  const auto url = *ServiceRequestUrl(local.lib(), endpoints::kNews, {6});
  GetServiceContent(local.lib(), url, reply);
  EXPECT_NE(reply.find("ipush_jsp/server.jsp"), std::string::npos);
  EXPECT_FALSE(ParseServiceReply(reply).has_value());
  EXPECT_EQ(local.service().router().requestCount("zelk/NewsApi.aspx"), 6);
  EXPECT_EQ(countOf(local.logText(), "本次请求被网络运行商重定向劫持，需要重新请求."), 6u);
}

TEST_F(ServiceIntegration, AGetGoesThroughOnceTheHijackEnds) {
  local.service().hijack().arm("zelk/NewsApi.aspx", 2);
  const auto reply = get(endpoints::kNews, {6});
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(ReplyResult(*reply), 1);
  EXPECT_EQ(local.service().router().requestCount("zelk/NewsApi.aspx"), 3);
}

TEST_F(ServiceIntegration, AHijackedPostIsNotRepeated) {
  local.service().hijack().arm("zelk/AppMarketAPI.aspx", 5);
  const auto url = *ServiceRequestUrl(local.lib(), endpoints::kAppVersions, {u"Windows 7"});
  std::string reply;
  PostServiceContent(local.lib(), url, u"appNames=a,b", reply);
  EXPECT_NE(reply.find("ipush_jsp/server.jsp"), std::string::npos);
  EXPECT_EQ(local.service().router().requestCount("zelk/AppMarketAPI.aspx"), 1);
  EXPECT_EQ(countOf(local.logText(), "劫持"), 0u);
}

TEST_F(ServiceIntegration, SealedCredentialsAreReadByTheServiceAndByNobodyElse) {
  const std::string id = EncryptText(local.lib(), "13800000000");
  const std::string password = EncryptText(local.lib(), "123456");
  EXPECT_EQ(id.find("13800000000"), std::string::npos);
  EXPECT_NE(EncryptText(local.lib(), "123456"), password);  // every seal is new
  const auto accepted = get(endpoints::kLogin, {AnsiToWide(id), AnsiToWide(password), u"3.1.0.0"});
  ASSERT_TRUE(accepted.has_value());
  EXPECT_EQ(ReplyResult(*accepted), 1) << ReplyText(*accepted, "msg");
  EXPECT_FALSE(ReplyText(*accepted, "returnValue").empty());

  const auto plain = get(endpoints::kLogin, {u"13800000000", u"123456", u"3.1.0.0"});
  ASSERT_TRUE(plain.has_value());
  EXPECT_NE(ReplyResult(*plain), 1);

  // A key pair other than the service's cannot open the sealed value.
  ASSERT_GE(sodium_init(), 0);
  unsigned char otherPublic[crypto_box_PUBLICKEYBYTES];
  unsigned char otherSecret[crypto_box_SECRETKEYBYTES];
  crypto_box_keypair(otherPublic, otherSecret);
  std::vector<unsigned char> box(password.size());
  std::size_t boxLength = 0;
  ASSERT_EQ(sodium_base642bin(box.data(), box.size(), password.data(), password.size(), nullptr,
                              &boxLength, nullptr, sodium_base64_VARIANT_URLSAFE_NO_PADDING),
            0);
  ASSERT_GT(boxLength, crypto_box_SEALBYTES);
  std::vector<unsigned char> opened(boxLength - crypto_box_SEALBYTES);
  EXPECT_NE(crypto_box_seal_open(opened.data(), box.data(), boxLength, otherPublic, otherSecret),
            0);
}

// Every GET endpoint of the catalogue answers, through the client's own road, with the keys
// its reader takes.
TEST_F(ServiceIntegration, EveryCatalogueEndpointAnswersWithItsKeys) {
  const auto login =
      get(endpoints::kLogin, {AnsiToWide(EncryptText(local.lib(), "13800000000")),
                              AnsiToWide(EncryptText(local.lib(), "123456")), u"3.1.0.0"});
  ASSERT_TRUE(login.has_value());
  ASSERT_EQ(ReplyResult(*login), 1);
  const std::int32_t uid = ReplyInt(*login, "uid");
  const std::u16string sign = AnsiToWide(ReplyText(*login, "returnValue"));
  const std::u16string os = u"Windows 7";

  struct Row {
    const char16_t* pathTemplate;
    std::vector<UrlValue> values;
    std::vector<const char*> keys;
  };
  const std::vector<Row> rows = {
      {endpoints::kHeartbeat, {sign}, {"result", "returnValue"}},
      {endpoints::kAvatarAddress, {uid, sign}, {"result", "imageUrl"}},
      {endpoints::kKnowledgeDownloadPermission, {uid}, {"result"}},
      {endpoints::kUnreadMessages, {uid, sign}, {"result", "count"}},
      {endpoints::kKnowledgeSearch,
       {1, 1, u"施工"},
       {"result", "pagenum", "total", "list", "keys"}},
      {endpoints::kKnowledgeItemForDownload, {u"downid=1001"}, {"result", "list"}},
      {endpoints::kAppCategories, {os}, {"result", "list"}},
      {endpoints::kAppListPage, {1, 1, u"", os}, {"result", "count", "AppItems"}},
      {endpoints::kNews, {6}, {"result", "news"}},
      {endpoints::kAdvertisements, {}, {"result"}},
      {endpoints::kStatistics,
       {},
       {"result", "installTotal", "appTotal", "onlineUserTotal", "hasProcessQuestionTotal"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(platform::Utf16ToUtf8(row.pathTemplate));
    const auto reply = get(row.pathTemplate, row.values);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(ReplyResult(*reply), 1) << ReplyText(*reply, "msg");
    for (const char* key : row.keys) EXPECT_TRUE(reply->isMember(key)) << key;
  }
}

TEST_F(ServiceIntegration, AnUnreachableServiceFailsTheRequestAndSignalsTheLoss) {
  setenv("ZELK_SERVICE_HOST", "127.0.0.1:1", 1);
  std::string reply = "old";
  EXPECT_FALSE(
      GetServiceContent(local.lib(), BuildServiceUrl(local.lib(), endpoints::kNews), reply));
  EXPECT_FALSE(CanVisitInternet(local.lib()));
}

TEST_F(ServiceIntegration, PicturesAreSavedAndA404LeavesNoFile) {
  testing_support::TempDir dir;
  const auto ads = get(endpoints::kAdvertisements, {});
  ASSERT_TRUE(ads.has_value());
  const std::u16string missing = ServiceBaseUrl() + u"/zelk/static/no-such-picture.png";
  EXPECT_EQ(DownloadImageFile(local.lib(), missing, AnsiToWide(dir.file("a.png"))), 0);
  EXPECT_FALSE(std::ifstream(dir.file("a.png")).good());
}

}  // namespace
}  // namespace net
