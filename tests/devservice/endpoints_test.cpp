// Every endpoint of the catalogue answers with the keys the client reads, of the types it
// reads them as.

#include <gtest/gtest.h>

#include <filesystem>

#include "service_fixture.h"

namespace devservice {
namespace {

enum class Kind { kInt, kText, kArray };

struct Key {
  const char* name;
  Kind kind;
};

struct EndpointCase {
  const char* what;
  const char* request;  // {uid} and {sign} stand for the logged-in demo user
  std::vector<Key> keys;
  const char* listKey = nullptr;  // an array whose every element must hold itemKeys
  std::vector<Key> itemKeys = {};
  const char* postBody = nullptr;
};

void ExpectKeys(const Json::Value& object, const std::vector<Key>& keys, const std::string& where) {
  for (const Key& key : keys) {
    ASSERT_TRUE(object.isMember(key.name)) << where << " lacks \"" << key.name << "\"";
    const Json::Value& value = object[key.name];
    switch (key.kind) {
      case Kind::kInt:
        EXPECT_TRUE(value.isInt()) << where << " \"" << key.name << "\" is not an integer";
        break;
      case Kind::kText:
        EXPECT_TRUE(value.isString()) << where << " \"" << key.name << "\" is not a text";
        break;
      case Kind::kArray:
        EXPECT_TRUE(value.isArray()) << where << " \"" << key.name << "\" is not an array";
        break;
    }
  }
}

std::string Fill(std::string text, const std::string& uid, const std::string& sign) {
  for (const auto& [placeholder, value] :
       {std::pair<std::string, std::string>{"{uid}", uid}, {"{sign}", sign}}) {
    for (auto at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at)) {
      text.replace(at, placeholder.size(), value);
      at += value.size();
    }
  }
  return text;
}

class Endpoints : public ServiceFixture {};

TEST_F(Endpoints, EveryCatalogueEndpointAnswersWithTheKeysItsReaderReads) {
  const Json::Value session = login();
  ASSERT_EQ(session["result"].asInt(), 1);
  const std::string uid = std::to_string(session["uid"].asInt());
  const std::string sign = session["returnValue"].asString();
  service_->setFileServerAddress(HostPort{"127.0.0.1", 40123});

  const std::vector<EndpointCase> cases = {
      {"behaviour report",
       "/zelk/RecordUserBehavior.aspx?req=0&osName=Windows "
       "7&mac=00-11&computerName=PC&behaviorName=KnowlegeSearch&behaviorKind=2",
       {{"result", Kind::kInt}}},
      {"start report",
       "/zelk/RecordUserBehavior.aspx?req=1&osName=Windows 7&mac=00-11&computerName=PC",
       {{"result", Kind::kInt}}},
      {"heartbeat",
       "/auth/auth_verify.aspx?kind=3&loginSign={sign}",
       {{"result", Kind::kInt}, {"returnValue", Kind::kText}}},
      {"avatar",
       "/auth/auth_verify.aspx?kind=6&uid={uid}&loginSign={sign}",
       {{"result", Kind::kInt}, {"imageUrl", Kind::kText}}},
      {"download permission",
       "/auth/auth_verify.aspx?kind=11&uid={uid}",
       {{"result", Kind::kInt}, {"msg", Kind::kText}}},
      {"download report",
       "/auth/auth_verify.aspx?kind=9&uid={uid}&downloadId=1001",
       {{"result", Kind::kInt}}},
      {"unread messages",
       "//zelk/seedMessage/SeedMessageApi.aspx?req=1&uid={uid}&loginSign={sign}&rnd=0.5",
       {{"result", Kind::kInt}, {"count", Kind::kInt}}},
      {"search",
       "/zelk/SearchEngine.aspx?api=vqd_soft_list&typeId=0&p=1&q=脚手架 计算书&count=10",
       {{"result", Kind::kInt},
        {"pagenum", Kind::kInt},
        {"total", Kind::kInt},
        {"keys", Kind::kText},
        {"list", Kind::kArray}},
       "list",
       {{"title", Kind::kText},
        {"info", Kind::kText},
        {"filename", Kind::kText},
        {"downid", Kind::kText},
        {"type", Kind::kInt}}},
      {"web download lookup",
       "/zelk/SearchEngine.aspx?api=vqd_soft_list&op=getdown&downid=1001",
       {{"result", Kind::kInt}, {"list", Kind::kArray}},
       "list",
       {{"downid", Kind::kText}, {"title", Kind::kText}, {"filename", Kind::kText}}},
      {"file server address",
       "/zelk/FileServerLiveForm.aspx?kind=3&fileKind=0&fileName=GB50204-2015.pdf",
       {{"result", Kind::kInt}, {"msg", Kind::kText}, {"msg_ex", Kind::kText}}},
      {"app page",
       "/zelk/AppMarketAPI.aspx?req=0&index=1&cid=1&wh=&os=Windows 7",
       {{"result", Kind::kInt}, {"count", Kind::kInt}, {"AppItems", Kind::kArray}},
       "AppItems",
       {{"Id", Kind::kInt},
        {"AppName", Kind::kText},
        {"AppDisplayName", Kind::kText},
        {"AppDeveloper", Kind::kText},
        {"AppVersion", Kind::kText},
        {"AppIconName", Kind::kText},
        {"AppIconUrl", Kind::kText},
        {"AppInstallPackageName", Kind::kText},
        {"AppExeName", Kind::kText},
        {"AppRemark", Kind::kText},
        {"netVersion", Kind::kText}}},
      {"app categories",
       "/zelk/AppMarketAPI.aspx?req=2&os=Windows 7",
       {{"result", Kind::kInt}, {"list", Kind::kArray}},
       "list",
       {{"id", Kind::kInt}, {"categoryName", Kind::kText}}},
      {"app versions",
       "/zelk/AppMarketAPI.aspx?req=3&os=Windows 7",
       {{"result", Kind::kInt}, {"AppItems", Kind::kArray}},
       "AppItems",
       {{"Id", Kind::kInt}, {"AppName", Kind::kText}, {"AppVersion", Kind::kText}},
       "appNames=RebarWeight,DwgViewer"},
      {"news",
       "/zelk/NewsApi.aspx?count=20",
       {{"result", Kind::kInt}, {"news", Kind::kArray}},
       "news",
       {{"title", Kind::kText}, {"url", Kind::kText}}},
      {"advertisements",
       "/zelk/AdvertisementApi.aspx",
       {{"result", Kind::kInt}, {"AdItems", Kind::kArray}},
       "AdItems",
       {{"id", Kind::kInt},
        {"AdImageURL", Kind::kText},
        {"TargetURL", Kind::kText},
        {"AdDesc", Kind::kText}}},
      {"counters",
       "/zelk/InformationStatisticsApi.aspx",
       {{"result", Kind::kInt},
        {"installTotal", Kind::kInt},
        {"appTotal", Kind::kInt},
        {"onlineUserTotal", Kind::kInt},
        {"hasProcessQuestionTotal", Kind::kInt}}},
      {"client update",
       "/zelk/ClientUpdateApi.aspx?ver=3.1.0.0",
       {{"result", Kind::kInt},
        {"hasUpdate", Kind::kInt},
        {"version", Kind::kText},
        {"url", Kind::kText}}},
  };
  for (const EndpointCase& endpoint : cases) {
    SCOPED_TRACE(endpoint.what);
    const std::string request = Fill(endpoint.request, uid, sign);
    const Json::Value reply =
        endpoint.postBody ? postJson(request, endpoint.postBody) : getJson(request);
    ASSERT_TRUE(reply.isObject());
    EXPECT_EQ(reply["result"].asInt(), 1) << reply.toStyledString();
    ExpectKeys(reply, endpoint.keys, endpoint.what);
    if (endpoint.listKey != nullptr) {
      ASSERT_GT(reply[endpoint.listKey].size(), 0u) << endpoint.what << " answered an empty list";
      for (const Json::Value& item : reply[endpoint.listKey])
        ExpectKeys(item, endpoint.itemKeys, endpoint.what);
    }
  }
}

TEST_F(Endpoints, PagesOfTheCatalogueAnswerHtmlWithTheRefreshCommand) {
  const Json::Value session = login();
  const std::string uid = std::to_string(session["uid"].asInt());
  const std::string sign = session["returnValue"].asString();
  const char* pages[] = {
      "/zelk/Share.aspx?act=tool&t=qzone&uc={sign}",
      "/zelk/Share.aspx?act=down&t=tsina&uc=&fname=钢筋重量计算器应用工具",
      "/zelk/ForgetPassWord.aspx",
      "/zelk/QuestionAndAnswer.aspx?uid={uid}&loginSign={sign}",
      "/zelk/QuestionAndAnswer.aspx?uid=0&loginSign=",
      "/zelk/TemplateShareList.aspx?rnd=1",
      "/zelk/VideoShow.aspx",
      "/zelk/GamePage.aspx?callfrom=Zelk",
      "/zelk/SiteNavigation.aspx?callfrom=Zelk",
      "/zelk/ShareEachDay.aspx",
      "/zelk/Question.aspx?uid={uid}&loginSign={sign}",
      "/zelk/Ansers.aspx?id=1&uid={uid}&loginSign={sign}",
      "/zelk/FeedbackPage.aspx",
      "/zelk/UserDataModify.aspx?uid={uid}&loginSign={sign}",
      "/zelk/seedMessage/SeedMessageMain.aspx?uid={uid}&loginSign={sign}",
      "/help/?ref=zelk",
      "/zelk/News.aspx?id=1",
      "/zelk/Promotion.aspx?id=1",
      "/zelk/Introduce.aspx",
      "/",
  };
  for (const char* page : pages) {
    SCOPED_TRACE(page);
    const auto result = get(Fill(page, uid, sign));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_NE(result->get_header_value("Content-Type").find("text/html"), std::string::npos);
    EXPECT_NE(result->body.find("data-command=\"RefreshThisPage\""), std::string::npos);
    EXPECT_EQ(result->body.find("{{"), std::string::npos) << "unfilled placeholder";
    EXPECT_EQ(AddressesOffLoopback(result->body), std::vector<std::string>{});
  }
  for (const char* file : {"/zelk/static/zelk.js", "/zelk/static/site.css"}) {
    const auto result = get(file);
    ASSERT_TRUE(result) << file;
    EXPECT_EQ(AddressesOffLoopback(result->body), std::vector<std::string>{}) << file;
  }
}

TEST_F(Endpoints, PicturesNamedInRepliesAreServed) {
  const Json::Value ads = getJson("/zelk/AdvertisementApi.aspx");
  const Json::Value apps = getJson("/zelk/AppMarketAPI.aspx?req=0&index=1&cid=0&wh=&os=Windows");
  const Json::Value session = login();
  std::vector<std::string> urls = {session["imageUrl"].asString()};
  for (const Json::Value& ad : ads["AdItems"]) urls.push_back(ad["AdImageURL"].asString());
  for (const Json::Value& app : apps["AppItems"]) urls.push_back(app["AppIconUrl"].asString());
  ASSERT_EQ(urls.size(), 1u + 4u + 5u);
  const std::string base = "http://127.0.0.1:" + std::to_string(service_->httpPort());
  for (const std::string& url : urls) {
    SCOPED_TRACE(url);
    ASSERT_EQ(url.rfind(base, 0), 0u) << "not an address of this service";
    const auto result = get(url.substr(base.size()));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->get_header_value("Content-Type"), "image/png");
    EXPECT_EQ(result->body.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  }
}

}  // namespace
}  // namespace devservice

namespace devservice {
namespace {

TEST_F(Endpoints, DownloadLinksOfThePagesNameDocumentsTheLookupFinds) {
  const std::string link = "zelk://download/";
  int links = 0;
  for (const char* page : {"/zelk/TemplateShareList.aspx", "/zelk/ShareEachDay.aspx"}) {
    const auto result = get(page);
    ASSERT_TRUE(result);
    const std::string& body = result->body;
    for (auto at = body.find(link); at != std::string::npos; at = body.find(link, at + 1)) {
      // The client lower-cases the request and splits it at "/": the query part must survive both.
      const auto start = at + link.size();
      std::string query = body.substr(start, body.find('"', start) - start);
      for (char& c : query) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      ASSERT_EQ(query.find('/'), std::string::npos);
      const Json::Value found =
          getJson("/zelk/SearchEngine.aspx?api=vqd_soft_list&op=getdown&" + query);
      ASSERT_EQ(found["result"].asInt(), 1) << query;
      EXPECT_EQ("downid=" + found["list"][0]["downid"].asString(), query);
      ++links;
    }
  }
  EXPECT_GE(links, 10);
  const auto introduce = get("/zelk/Introduce.aspx");
  ASSERT_TRUE(introduce);
  EXPECT_NE(introduce->body.find("data-command=\"ShowMainFormArea\""), std::string::npos);
  EXPECT_NE(introduce->body.find("data-command=\"CloseThisPage\""), std::string::npos);
  const auto script = get("/zelk/static/zelk.js");
  ASSERT_TRUE(script);
  EXPECT_NE(script->body.find("window.webkit.messageHandlers.zelk.postMessage(args)"),
            std::string::npos);
  EXPECT_NE(script->body.find("window.external.Command"), std::string::npos);
}

TEST_F(Endpoints, SearchPagesAndCategoriesPageAsTheClientCountsThem) {
  const Json::Value first =
      getJson("/zelk/SearchEngine.aspx?api=vqd_soft_list&typeId=0&p=1&q=施工&count=10");
  ASSERT_EQ(first["result"].asInt(), 1);
  const int total = first["total"].asInt();
  ASSERT_GT(total, 10) << "a common word pages";
  const int pages = (total + 9) / 10;
  const Json::Value last =
      getJson("/zelk/SearchEngine.aspx?api=vqd_soft_list&typeId=0&p=" + std::to_string(pages) +
              "&q=施工&count=10");
  EXPECT_EQ(last["pagenum"].asInt(), pages);
  EXPECT_EQ(static_cast<int>(last["list"].size()), total - (pages - 1) * 10);
  const Json::Value standards =
      getJson("/zelk/SearchEngine.aspx?api=vqd_soft_list&typeId=1&p=1&q=施工&count=10");
  for (const Json::Value& item : standards["list"]) EXPECT_EQ(item["type"].asInt(), 1);

  const Json::Value category =
      getJson("/zelk/AppMarketAPI.aspx?req=0&index=2&cid=1&wh=&os=Windows");
  EXPECT_EQ(category["count"].asInt(), 2);
  EXPECT_EQ(category["AppItems"].size(), 1u);
  const Json::Value search =
      getJson("/zelk/AppMarketAPI.aspx?req=0&index=1&cid=1&wh=dwgviewer&os=Windows");
  ASSERT_EQ(search["AppItems"].size(), 1u) << "a search looks through every category";
  EXPECT_EQ(search["AppItems"][0]["AppName"].asString(), "DwgViewer");
  const Json::Value versions = postJson("/zelk/AppMarketAPI.aspx?req=3&os=Windows",
                                        "appNames=DwgViewer,Unknown,rebarweight");
  ASSERT_EQ(versions["AppItems"].size(), 2u);
  EXPECT_EQ(versions["AppItems"][1]["AppVersion"].asString(), "1.2.0");
}

TEST_F(Endpoints, TheUpgradeSwitchRaisesAnAppToItsLaterPackage) {
  const char* page = "/zelk/AppMarketAPI.aspx?req=0&index=1&cid=0&wh=RebarWeight&os=Windows";
  EXPECT_EQ(getJson(page)["AppItems"][0]["AppInstallPackageName"].asString(),
            "RebarWeight_1.2.0.zip");
  EXPECT_EQ(getJson("/_dev/apps/upgrade?appName=rebarweight")["version"].asString(), "1.3.0");
  const Json::Value raised = getJson(page)["AppItems"][0];
  EXPECT_EQ(raised["AppVersion"].asString(), "1.3.0");
  EXPECT_EQ(raised["AppInstallPackageName"].asString(), "RebarWeight_1.3.0.zip");
  EXPECT_EQ(postJson("/zelk/AppMarketAPI.aspx?req=3&os=Windows",
                     "appNames=RebarWeight")["AppItems"][0]["AppVersion"]
                .asString(),
            "1.3.0");
  // An app without a later package cannot be raised; a reset lowers the raised one.
  EXPECT_NE(getJson("/_dev/apps/upgrade?appName=DwgViewer")["result"].asInt(), 1);
  getJson("/_dev/apps/upgrade?appName=RebarWeight&reset=1");
  EXPECT_EQ(getJson(page)["AppItems"][0]["AppVersion"].asString(), "1.2.0");
}

TEST_F(Endpoints, FileServerAddressNeedsAServerAndAPlainFileName) {
  const std::string request =
      "/zelk/FileServerLiveForm.aspx?kind=3&fileKind=0&fileName=GB50204-2015.pdf";
  EXPECT_EQ(getJson(request)["msg"].asString(), "文件服务器未启动");
  service_->setFileServerAddress(HostPort{"0.0.0.0", 40999});
  const Json::Value reply = getJson(request);
  EXPECT_EQ(reply["msg"].asString(), "127.0.0.1:40999");
  EXPECT_EQ(reply["msg_ex"].asString(), "localhost:40999");
}

}  // namespace
}  // namespace devservice

namespace devservice {
namespace {

TEST(ClientUpdate, ANewerVersionNamedInTheDataIsOfferedWithItsPackage) {
  testing_support::TempDir dir;
  std::filesystem::copy(DefaultDataDir(), dir.path() + "/data",
                        std::filesystem::copy_options::recursive);
  dir.write("data/updates/Tamsel_3.1.2.0.zip", "PK package bytes");
  dir.write("data/update.json",
            R"({"version":"3.1.2.0","package":"Tamsel_3.1.2.0.zip","notes":"修复下载续传问题"})");
  ServiceOptions options;
  options.http = HostPort{"127.0.0.1", 0};
  options.dataDir = dir.path() + "/data";
  options.stateDir = dir.path() + "/state";
  options.keyDir = DefaultKeyDir();
  platform::ManualClock clock(1'790'000'000'000);
  DevService service(options, clock, false);
  httplib::Client client("127.0.0.1", service.start());

  const auto ask = [&](const std::string& version) {
    const auto reply = client.Get(("/zelk/ClientUpdateApi.aspx?ver=" + version).c_str());
    return reply ? ParseJsonObject(reply->body) : Json::Value();
  };
  const Json::Value offer = ask("3.1.0.0");
  EXPECT_EQ(offer["result"].asInt(), 1);
  EXPECT_EQ(offer["hasUpdate"].asInt(), 1);
  EXPECT_EQ(offer["version"].asString(), "3.1.2.0");
  const std::string url = offer["url"].asString();
  const std::string base = "http://127.0.0.1:" + std::to_string(service.httpPort());
  ASSERT_EQ(url, base + "/zelk/ClientUpdates/Tamsel_3.1.2.0.zip");
  const auto package = client.Get(url.substr(base.size()).c_str());
  ASSERT_TRUE(package);
  EXPECT_EQ(package->body, "PK package bytes");
  EXPECT_EQ(client.Get("/zelk/ClientUpdates/update.json")->status, 404) << "only the offered file";

  EXPECT_EQ(ask("3.1.2.0")["hasUpdate"].asInt(), 0);
  EXPECT_EQ(ask("3.1.10")["hasUpdate"].asInt(), 0);
  EXPECT_EQ(ask("3.1.1.9")["hasUpdate"].asInt(), 1);
}

}  // namespace
}  // namespace devservice
