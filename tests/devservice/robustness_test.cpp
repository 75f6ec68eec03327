// Malformed, unauthorised and hostile requests get {"result":0,"msg":…}; the service stays up.
// The hijack switch replaces the next N replies of a path.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "devservice/hijack_switch.h"
#include "devservice/state_store.h"
#include "platform/paths.h"
#include "service_fixture.h"

namespace devservice {
namespace {

class Robustness : public ServiceFixture {
 protected:
  void expectRefused(const httplib::Result& result, const std::string& what) {
    ASSERT_TRUE(result) << what << ": no reply";
    const Json::Value reply = ParseJsonObject(result->body);
    ASSERT_TRUE(reply.isObject()) << what << ": " << result->body;
    EXPECT_EQ(reply["result"], Json::Value(0)) << what;
    EXPECT_TRUE(reply["msg"].isString() && !reply["msg"].asString().empty()) << what;
  }
};

TEST_F(Robustness, MalformedQueriesAreAnsweredWithResultZero) {
  const std::string longText(600, 'x');
  const char* const requests[] = {
      "/auth/auth_verify.aspx",
      "/auth/auth_verify.aspx?kind=",
      "/auth/auth_verify.aspx?kind=abc",
      "/auth/auth_verify.aspx?kind=99",
      "/auth/auth_verify.aspx?kind=0x0",
      "/auth/auth_verify.aspx?kind=0",
      "/auth/auth_verify.aspx?kind=0&user_id=&pwd=",
      "/auth/auth_verify.aspx?kind=1&uid=99999999999999999999&old_pwd=a&new_pwd=b",
      "/auth/auth_verify.aspx?kind=3",
      "/auth/auth_verify.aspx?kind=3&loginSign=nonsense",
      "/auth/auth_verify.aspx?kind=4&loginSign=",
      "/auth/auth_verify.aspx?kind=6&uid=1x&loginSign=a",
      "/auth/auth_verify.aspx?kind=7&user_id=%00%01",
      "/auth/auth_verify.aspx?kind=9&uid=10001",
      "/auth/auth_verify.aspx?kind=11&uid=2147483648",
      "/auth/auth_verify.aspx?kind=11&uid=-2147483649",
      "/zelk/seedMessage/SeedMessageApi.aspx?req=2&uid=10001&loginSign=x",
      "/zelk/SearchEngine.aspx",
      "/zelk/SearchEngine.aspx?api=other&typeId=0&p=1&q=a",
      "/zelk/SearchEngine.aspx?api=vqd_soft_list&typeId=x&p=1&q=a&count=10",
      "/zelk/SearchEngine.aspx?api=vqd_soft_list&typeId=4&p=1&q=&count=10",
      "/zelk/SearchEngine.aspx?api=vqd_soft_list&typeId=9&p=1&q=a&count=10",
      "/zelk/SearchEngine.aspx?api=vqd_soft_list&typeId=0&p=-1&q=a&count=10",
      "/zelk/SearchEngine.aspx?api=vqd_soft_list&typeId=0&p=1&q=a&count=0",
      "/zelk/SearchEngine.aspx?api=vqd_soft_list&typeId=0&p=1&q=a&count=100000",
      "/zelk/SearchEngine.aspx?api=vqd_soft_list&op=getdown",
      "/zelk/SearchEngine.aspx?api=vqd_soft_list&op=getdown&downid=abc",
      "/zelk/SearchEngine.aspx?api=vqd_soft_list&op=getdown&downid=424242",
      "/zelk/FileServerLiveForm.aspx?kind=3&fileKind=0&fileName=a.pdf",
      "/zelk/FileServerLiveForm.aspx?kind=3&fileKind=7&fileName=a.pdf",
      "/zelk/FileServerLiveForm.aspx?kind=3&fileKind=0&fileName=../../etc/passwd",
      "/zelk/AppMarketAPI.aspx?req=0&index=abc&cid=1&wh=&os=",
      "/zelk/AppMarketAPI.aspx?req=0&index=1&cid=999&wh=&os=",
      "/zelk/AppMarketAPI.aspx?req=5",
      "/zelk/AppMarketAPI.aspx?req=3",
      "/zelk/NewsApi.aspx",
      "/zelk/NewsApi.aspx?count=-5",
      "/zelk/NewsApi.aspx?count=1e3",
      "/zelk/RecordUserBehavior.aspx?req=0&behaviorKind=2",
      "/zelk/ClientUpdateApi.aspx",
      "/zelk/ClientUpdateApi.aspx?ver=3.1.a",
      "/zelk/Share.aspx?act=steal&t=qzone",
      "/zelk/Ansers.aspx?id=x",
      "/_dev/hijack?path=zelk/NewsApi.aspx&count=-1",
      "/_dev/hijack?path=_dev/hijack&count=1",
      "/zelk/NoSuchPage.aspx",
      "/zelk/AppIcons/../../keys/service_secret.hex",
      "/zelk/static/..%2F..%2Fkeys%2Fservice_secret.hex",
      "/zelk/UserImages/.png",
  };
  for (const char* request : requests) expectRefused(get(request), request);

  // Values as large as a URL may carry.
  expectRefused(
      get("/zelk/SearchEngine.aspx?api=vqd_soft_list&typeId=0&p=1&count=10&q=" + longText),
      "a 600-byte query");
  expectRefused(get("/auth/auth_verify.aspx?kind=3&loginSign=" + std::string(5000, 'a')),
                "a long sign");
  // Longer than the server library accepts for a request line.
  expectRefused(get("/zelk/NewsApi.aspx?count=20&pad=" + std::string(10000, 'p')), "a 10 KB URL");
  const auto big =
      client_->Post("/zelk/AppMarketAPI.aspx?req=3&os=x", std::string(2 * 1024 * 1024, 'a'),
                    "application/x-www-form-urlencoded");
  expectRefused(big, "a 2 MB body");
  const auto method = client_->Delete("/zelk/NewsApi.aspx?count=2");
  expectRefused(method, "DELETE");

  // Still serving, and the state file is intact.
  EXPECT_EQ(getJson("/zelk/NewsApi.aspx?count=2")["news"].size(), 2u);
  std::string state;
  ASSERT_TRUE(platform::ReadWholeFile(stateDir_.path() + "/state/state.json", state));
  EXPECT_TRUE(ParseJsonObject(state).isObject());
}

TEST_F(Robustness, LargePagesAndTextInTheSystemCodePageAreHandled) {
  Json::Value page = getJson(
      "/zelk/"
      "SearchEngine.aspx?api=vqd_soft_list&typeId=0&p=2147483647&q=%E8%A7%84%E8%8C%83&count=10");
  EXPECT_EQ(page["result"].asInt(), 1);
  EXPECT_EQ(page["pagenum"].asInt(), 2147483647);
  EXPECT_GT(page["total"].asInt(), 0);
  EXPECT_EQ(page["list"].size(), 0u);
  // "规范" in GBK, as a client whose code page is GBK sends it.
  page = getJson("/zelk/SearchEngine.aspx?api=vqd_soft_list&typeId=0&p=1&q=%B9%E6%B7%B6&count=10");
  EXPECT_EQ(page["keys"].asString(), "规范");
  EXPECT_GT(page["total"].asInt(), 0);
  EXPECT_EQ(
      getJson("/zelk/AppMarketAPI.aspx?req=0&index=2147483647&cid=0&wh=&os=")["AppItems"].size(),
      0u);
}

TEST_F(Robustness, ConcurrentLoginsHeartbeatsAndReportsKeepTheStateWhole) {
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  const std::string user = Seal("13800000000");
  const std::string password = Seal("123456");
  for (int t = 0; t < 6; ++t) {
    threads.emplace_back([&, t] {
      httplib::Client client("127.0.0.1", service_->httpPort());
      for (int i = 0; i < 15; ++i) {
        const auto session = client.Get(
            ("/auth/auth_verify.aspx?kind=0&user_id=" + user + "&pwd=" + password).c_str());
        const Json::Value reply = session ? ParseJsonObject(session->body) : Json::Value();
        const auto beat = client.Get(
            ("/auth/auth_verify.aspx?kind=3&loginSign=" + reply["returnValue"].asString()).c_str());
        const auto report = client.Get(
            ("/auth/auth_verify.aspx?kind=9&uid=10001&downloadId=" + std::to_string(1001 + t))
                .c_str());
        if (reply["result"].asInt() != 1 || !beat ||
            ParseJsonObject(beat->body)["result"].asInt() != 1 || !report ||
            ParseJsonObject(report->body)["result"].asInt() != 1) {
          ++failures;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(service_->state().downloadReportCount(10001), 90);
  restart();
  EXPECT_EQ(service_->state().downloadReportCount(10001), 90);
  EXPECT_EQ(service_->state().liveSignCount(), 90);
}

TEST_F(Robustness, TheHijackSwitchReplacesExactlyTheNextRepliesOfOnePath) {
  const Json::Value armed = getJson("/_dev/hijack?path=/zelk//NewsApi.aspx&count=6");
  ASSERT_EQ(armed["result"].asInt(), 1);
  EXPECT_EQ(armed["path"].asString(), "zelk/newsapi.aspx");
  EXPECT_EQ(getJson("/zelk/AdvertisementApi.aspx")["result"].asInt(), 1)
      << "other paths are untouched";
  for (int i = 0; i < 6; ++i) {
    const auto reply =
        get(i % 2 == 0 ? "/zelk/NewsApi.aspx?count=20" : "/ZELK/newsapi.aspx?count=abc");
    ASSERT_TRUE(reply);
    EXPECT_NE(reply->body.find(kHijackMarker), std::string::npos) << "reply " << i + 1;
    EXPECT_EQ(AddressesOffLoopback(reply->body), std::vector<std::string>{});
    EXPECT_FALSE(ParseJsonObject(reply->body).isObject());
  }
  EXPECT_EQ(getJson("/zelk/NewsApi.aspx?count=20")["result"].asInt(), 1)
      << "the seventh reply is real";
  EXPECT_EQ(getJson("/_dev/requests?path=zelk/NewsApi.aspx")["count"].asInt(), 7);
  EXPECT_EQ(getJson("/_dev/requests?path=zelk/NoneYet.aspx")["count"].asInt(), 0);

  getJson("/_dev/hijack?path=zelk/AppMarketAPI.aspx&count=1");
  const auto post = client_->Post("/zelk/AppMarketAPI.aspx?req=3&os=x", "appNames=DwgViewer",
                                  "application/x-www-form-urlencoded");
  ASSERT_TRUE(post);
  EXPECT_NE(post->body.find(kHijackMarker), std::string::npos) << "a POST reply is replaced too";

  getJson("/_dev/hijack?path=zelk/NewsApi.aspx&count=3");
  getJson("/_dev/hijack?path=zelk/NewsApi.aspx&count=0");
  EXPECT_EQ(getJson("/zelk/NewsApi.aspx?count=20")["result"].asInt(), 1) << "count 0 disarms";
}

}  // namespace
}  // namespace devservice

namespace devservice {
namespace {

TEST_F(Robustness, ASecondServiceCannotTakeAPortInUse) {
  ServiceOptions second = options();
  second.http.port = service_->httpPort();
  second.stateDir = stateDir_.path() + "/second";
  DevService other(second, clock_, false);
  EXPECT_THROW(other.start(), std::runtime_error);
  EXPECT_EQ(getJson("/zelk/NewsApi.aspx?count=1")["result"].asInt(), 1);
}

}  // namespace
}  // namespace devservice
