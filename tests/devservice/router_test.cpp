#include <gtest/gtest.h>

#include "devservice/hijack_switch.h"
#include "devservice/router.h"
#include "devservice/service_log.h"

namespace devservice {
namespace {

Request Get(const std::string& path) {
  return Request("GET", path, {}, "", "127.0.0.1:8096");
}

TEST(Router, EveryFailureOfAHandlerBecomesAResultZeroReply) {
  HijackSwitch hijack;
  ServiceLog log("", false);
  Router router(hijack, log);
  router.add("zelk/Refuse.aspx", [](const Request&) -> Reply { throw BadRequest("不行"); });
  router.add("zelk/Throw.aspx",
             [](const Request&) -> Reply { throw std::out_of_range("index 7"); });
  router.add("zelk/ThrowInt.aspx", [](const Request&) -> Reply { throw 42; });
  router.add("zelk/Ok.aspx", [](const Request&) { return HtmlReply("ok"); });
  router.addPrefix("zelk/Files/", [](const Request& request) {
    return HtmlReply(request.pathAfter("zelk/Files/"));
  });

  EXPECT_EQ(router.dispatch(Get("/zelk/Refuse.aspx")).body, "{\"msg\":\"不行\",\"result\":0}");
  const Reply thrown = router.dispatch(Get("/zelk/Throw.aspx"));
  EXPECT_EQ(thrown.status, 500);
  EXPECT_EQ(thrown.body, "{\"msg\":\"服务器内部错误\",\"result\":0}");
  EXPECT_NE(log.lines().back().find("index 7"), std::string::npos);
  EXPECT_EQ(router.dispatch(Get("/zelk/ThrowInt.aspx")).status, 500);
  const Reply unknown = router.dispatch(Get("/zelk/Other.aspx"));
  EXPECT_EQ(unknown.status, 404);
  EXPECT_NE(unknown.body.find("\"result\":0"), std::string::npos);
  EXPECT_EQ(router.dispatch(Get("//ZELK/ok.aspx")).body, "ok");
  EXPECT_EQ(router.dispatch(Get("/zelk/files/A.PNG")).body, "A.PNG");
}

TEST(Router, TheHijackSwitchCountsDownPerPath) {
  HijackSwitch hijack;
  ServiceLog log("", false);
  Router router(hijack, log);
  router.add("zelk/Ok.aspx", [](const Request&) { return HtmlReply("ok"); });
  hijack.arm("/zelk//OK.aspx", 2);
  EXPECT_EQ(hijack.remaining("zelk/ok.aspx"), 2);
  EXPECT_NE(router.dispatch(Get("/zelk/Ok.aspx")).body.find(kHijackMarker), std::string::npos);
  EXPECT_NE(router.dispatch(Get("/zelk/Ok.aspx")).body.find(kHijackMarker), std::string::npos);
  EXPECT_EQ(router.dispatch(Get("/zelk/Ok.aspx")).body, "ok");
  EXPECT_EQ(hijack.remaining("zelk/ok.aspx"), 0);
  EXPECT_EQ(router.requestCount("/ZELK/ok.aspx"), 3);
  EXPECT_EQ(router.requestCount("zelk/other.aspx"), 0);
}

}  // namespace
}  // namespace devservice
