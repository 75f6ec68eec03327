#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "http_server.h"
#include "platform/clock.h"
#include "support/temp_dir.h"
#include "zelklib/connectivity.h"
#include "zelklib/http_client.h"
#include "zelklib/reply_text.h"
#include "zelklib/update_check.h"
#include "zelklib/url_text.h"

namespace zelklib {
namespace {

namespace fs = std::filesystem;
using zelklib_testing::LoopbackServer;

class Http : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& s = service_.server;
    s.Get("/json", [](const httplib::Request&, httplib::Response& r) {
      r.set_content("{\"result\":1,\"title\":\"标题\"}", "application/json; charset=utf-8");
    });
    s.Get("/gbk", [](const httplib::Request&, httplib::Response& r) {
      r.set_content("{\"title\":\"\xB1\xEA\xCC\xE2\"}", "application/json; charset=GBK");
    });
    s.Get("/page", [](const httplib::Request&, httplib::Response& r) {
      r.set_content(
          "<html><head><meta charset=\"gb2312\"></head><body>\xD6\xD0\xCE\xC4</body></html>",
          "text/html");
    });
    s.Get("/moved", [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/json"); });
    s.Get("/query", [](const httplib::Request& q, httplib::Response& r) {
      r.set_content(q.get_param_value("q"), "text/plain; charset=utf-8");
    });
    s.Get("/big", [](const httplib::Request&, httplib::Response& r) {
      r.set_content(std::string(5000, 'b'), "text/plain");
    });
    s.Post("/echo", [](const httplib::Request& q, httplib::Response& r) {
      r.set_content(q.get_header_value("Content-Type") + "|" + q.body, "text/plain; charset=utf-8");
    });
    s.Get("/avatar.png", [](const httplib::Request&, httplib::Response& r) {
      r.set_content(std::string("\x89PNG\r\n\x1a\n", 8) + std::string(3000, 'p'), "image/png");
    });
    s.Get("/zelk/ClientUpdateApi.aspx", [this](const httplib::Request& q, httplib::Response& r) {
      askedVersion_ = q.get_param_value("ver");
      r.set_content(updateReply_, "application/json");
    });
    service_.start();
  }

  testing_support::TempDir dir_;
  LoopbackServer service_;
  std::string askedVersion_;
  std::string updateReply_ = "{\"result\":1,\"hasUpdate\":1,\"version\":\"3.2.0.0\",\"url\":\"x\"}";
};

TEST_F(Http, RepliesAreDecodedFromTheCharsetTheyDeclare) {
  const HttpReply json = HttpGet(service_.url("/json"));
  ASSERT_TRUE(json.succeeded()) << json.error;
  EXPECT_EQ(DecodeReplyBody(json.body, json.contentType), u"{\"result\":1,\"title\":\"标题\"}");
  const HttpReply gbk = HttpGet(service_.url("/gbk"));
  EXPECT_EQ(DecodeReplyBody(gbk.body, gbk.contentType), u"{\"title\":\"标题\"}");
  const HttpReply page = HttpGet(service_.url("/page"));
  EXPECT_NE(DecodeReplyBody(page.body, page.contentType).find(u"<body>中文</body>"),
            std::u16string::npos);
}

TEST_F(Http, RedirectsAreFollowedAndFailuresDescribed) {
  const HttpReply moved = HttpGet(service_.url("/moved"));
  EXPECT_TRUE(moved.succeeded());
  EXPECT_NE(moved.body.find("标题"), std::string::npos);

  const HttpReply missing = HttpGet(service_.url("/nothing-here"));
  EXPECT_TRUE(missing.transferred);
  EXPECT_FALSE(missing.succeeded());
  EXPECT_EQ(missing.status, 404);
  EXPECT_EQ(DescribeFailure(missing), "HTTP 404 Not Found");

  HttpOptions small;
  small.maxBodyBytes = 1000;
  const HttpReply tooBig = HttpGet(service_.url("/big"), small);
  EXPECT_FALSE(tooBig.succeeded());
  EXPECT_FALSE(tooBig.error.empty());

  const HttpReply dead =
      HttpGet("http://127.0.0.1:" + std::to_string(zelklib_testing::UnusedLoopbackPort()) + "/x");
  EXPECT_FALSE(dead.transferred);
  EXPECT_FALSE(DescribeFailure(dead).empty());
  EXPECT_FALSE(HttpGet("file:///etc/passwd").transferred) << "only http and https";
}

TEST_F(Http, UnescapedServiceUrlsAndPostedFormsArrive) {
  const HttpReply query = HttpGet(EscapeForRequest(service_.url("/query?q=建筑 规范&p=1")));
  ASSERT_TRUE(query.succeeded()) << query.error;
  EXPECT_EQ(query.body, "建筑 规范");
  const HttpReply posted = HttpPost(service_.url("/echo"), "appNames=甲,乙");
  ASSERT_TRUE(posted.succeeded());
  EXPECT_EQ(posted.body, "application/x-www-form-urlencoded; charset=UTF-8|appNames=甲,乙");
}

TEST_F(Http, DownloadsAppearWholeOrNotAtAll) {
  const std::string target = dir_.file("UserData/25/UserProfile/avatar.png");
  const HttpReply saved = HttpDownloadToFile(service_.url("/avatar.png"), target);
  ASSERT_TRUE(saved.succeeded()) << saved.error;
  EXPECT_EQ(fs::file_size(target), 3008u);

  const HttpReply missing = HttpDownloadToFile(service_.url("/gone.png"), target);
  EXPECT_FALSE(missing.succeeded());
  EXPECT_NE(DescribeFailure(missing).find(" 404 "), std::string::npos);
  EXPECT_EQ(fs::file_size(target), 3008u) << "the old picture survives a failed download";
  const HttpReply dead = HttpDownloadToFile(
      "http://127.0.0.1:" + std::to_string(zelklib_testing::UnusedLoopbackPort()) + "/a.png",
      dir_.file("AdData/1_a.png"));
  EXPECT_FALSE(dead.succeeded());
  EXPECT_FALSE(fs::exists(dir_.file("AdData/1_a.png")));
  std::size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(dir_.path()))
    files += entry.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1u) << "no temporary file is left behind";
}

TEST_F(Http, TheUpdateCheckAsksWithTheClientVersion) {
  setenv("ZELK_SERVICE_HOST", service_.hostAndPort().c_str(), 1);
  dir_.write("Zelk", std::string("ZELK_FILE_VERSION=3.1.0.7\0", 26));
  EXPECT_TRUE(IsUpdateAvailable(dir_.path()));
  EXPECT_EQ(askedVersion_, "3.1.0.7");
  updateReply_ = "{\"result\":1,\"hasUpdate\":0}";
  EXPECT_FALSE(IsUpdateAvailable(dir_.path()));
  setenv("ZELK_SERVICE_HOST",
         ("127.0.0.1:" + std::to_string(zelklib_testing::UnusedLoopbackPort())).c_str(), 1);
  EXPECT_FALSE(IsUpdateAvailable(dir_.path()));
  unsetenv("ZELK_SERVICE_HOST");
}

TEST_F(Http, ReachabilityIsATcpConnectionToTheService) {
  EXPECT_TRUE(CanConnect(service_.hostAndPort(), 2000));
  EXPECT_FALSE(
      CanConnect("127.0.0.1:" + std::to_string(zelklib_testing::UnusedLoopbackPort()), 2000));
  EXPECT_FALSE(CanConnect("127.0.0.1:99999", 2000));
  EXPECT_FALSE(CanConnect("", 2000));
}

TEST(ConnectivityCache, OneProbeServesEveryoneForTwoSeconds) {
  platform::ManualClock clock(1000);
  std::atomic<int> probes{0};
  bool up = true;
  ConnectivityCache cache(clock, [&](const std::string&) {
    ++probes;
    return up;
  });
  EXPECT_TRUE(cache.reachable("h:1"));
  up = false;
  clock.advance(1999);
  EXPECT_TRUE(cache.reachable("h:1")) << "still the cached answer";
  EXPECT_EQ(probes, 1);
  EXPECT_FALSE(cache.reachable("h:2")) << "another service is probed at once";
  EXPECT_EQ(probes, 2);
  clock.advance(2000);
  EXPECT_FALSE(cache.reachable("h:2"));
  EXPECT_EQ(probes, 3);

  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) threads.emplace_back([&] { cache.reachable("h:2"); });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(probes, 3) << "concurrent callers share the answer";
}

}  // namespace
}  // namespace zelklib
