// The knowledge tab of the real client, headless, against the local development service: a
// search from the search home and a later page, a download without a login, download links of
// web pages from the first start's command line and from a later start, and the finished list's
// rows. One client start covers the whole scenario. With ZELK_SCREENSHOT_DIR set the pictures
// go there (the documentation's), otherwise into the test's folder.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "client_process.h"
#include "support/temp_dir.h"

namespace ui_testing {
namespace {

namespace fs = std::filesystem;
constexpr const char* kMain = "UIMainFrame";

// A finished record as the history file holds it.
std::string FinishedRecord(int index, const std::string& fileName, const std::string& localName,
                           const std::string& localPath) {
  return "<LibDownloadFileInfo><Index>" + std::to_string(index) +
         "</Index><BlockIndex>0</BlockIndex><DownloadId>100" + std::to_string(index + 1) +
         "</DownloadId><FileName>" + fileName +
         "</FileName><StoreFileKind>Knowlege</StoreFileKind><FileTotalLength>0</FileTotalLength>"
         "<DataBufferLength>0</DataBufferLength><DownloadState>DownloadFinish</DownloadState>"
         "<IsDownloadFinish>true</IsDownloadFinish>"
         "<LocalFileName>" +
         localName + "</LocalFileName><LocalFullName>" + localPath +
         "</LocalFullName></LibDownloadFileInfo>";
}

class KnowledgeClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service_.Start()) << "the development service did not start";
    const char* target = std::getenv("ZELK_SCREENSHOT_DIR");
    shots_ = target != nullptr ? target : dir_.file("screenshots");
    fs::create_directories(shots_);
  }

  Json::Value Call(AutomationClient& automation, const std::string& cmd,
                   std::initializer_list<std::pair<const char*, Json::Value>> fields = {}) {
    return automation.Call(cmd, fields);
  }
  static bool Idle(ClientProcess& client) {
    return client.automation().Call("wait_idle", {{"timeout_ms", 20000}})["idle"].asBool();
  }
  static std::vector<std::string> Titles(ClientProcess& client, const std::string& list) {
    std::vector<std::string> titles;
    const Json::Value items =
        client.automation().Call("items", {{"window", kMain}, {"name", list}})["items"];
    std::function<void(const Json::Value&)> find = [&](const Json::Value& node) {
      if (node["name"].asString() == "txtTitle") titles.push_back(node["text"].asString());
      for (const Json::Value& child : node["children"]) find(child);
    };
    for (const Json::Value& item : items) find(item);
    return titles;
  }
  void Shot(ClientProcess& client, const std::string& name) {
    const Json::Value shot =
        client.automation().Call("screenshot", {{"window", kMain}, {"path", shots_ + "/" + name}});
    EXPECT_TRUE(shot["ok"].asBool()) << shot.toStyledString();
  }

  testing_support::TempDir dir_;
  DevService service_{ZELK_DEVSERVICE_PATH, dir_.file("service")};
  std::string shots_;
};

TEST_F(KnowledgeClientTest, SearchPagesDownloadLinksAndFinishedFiles) {
  // Two finished files from an earlier run; the second one's file is gone by now.
  ClientProcess client(dir_.path(), service_.host());
  const std::string folder = client.file("Downloads/Knowlege");
  fs::create_directories(folder);
  std::ofstream(folder + "/验收规范.pdf") << "%PDF-1.4 sample";
  std::ofstream(client.file("DownloadHistory.xml"))
      << "<?xml version=\"1.0\" ?><LibLocalDownloadHistory><HasDownloadList>"
      << FinishedRecord(0, "GB50204-2015.pdf", "验收规范.pdf", folder + "/验收规范.pdf")
      << FinishedRecord(1, "GB50010-2010.pdf", "设计规范.pdf", folder + "/设计规范.pdf")
      << "</HasDownloadList><DownloadingList /></LibLocalDownloadHistory>";

  // The first start carries a download link of a web page.
  ASSERT_TRUE(client.Start({"--", "zelk://download/downid=1003"}));
  AutomationClient& automation = client.automation();
  ASSERT_TRUE(Idle(client));
  EXPECT_EQ(client.Control("tluDesktop")["value"].asInt(), 1);
  EXPECT_EQ(client.Control("tluKnowlege_Desktop")["value"].asInt(), 2);
  EXPECT_EQ(Titles(client, "lstKnowlegeDownloading").size(), 1u);

  // A search from the search home: page 1 of the results, numbered, the key in red.
  ASSERT_TRUE(client.Click("knowlege_quickBar_Search"));
  ASSERT_TRUE(
      Call(automation, "set_text",
           {{"window", kMain}, {"name", "txtKnowlegeSearchKeyword"}, {"text", "施工"}})["ok"]
          .asBool());
  ASSERT_TRUE(client.Click("btnKnowlegeSearchSearch"));
  ASSERT_TRUE(Idle(client));
  EXPECT_EQ(client.Control("tluKnowlege_Desktop")["value"].asInt(), 1);
  EXPECT_EQ(client.Control("txtKnowlegeSearchResultKeyword")["text"].asString(), "施工");
  std::vector<std::string> titles = Titles(client, "lstKnowlegeSearchResult");
  ASSERT_EQ(titles.size(), 10u);
  for (std::size_t i = 0; i < titles.size(); ++i) {
    EXPECT_EQ(titles[i].rfind(std::to_string(i + 1) + ".", 0), 0u) << titles[i];
    EXPECT_NE(titles[i].find("<c #FF0000>施工</c>"), std::string::npos) << titles[i];
  }
  EXPECT_TRUE(client.Control("ouKnowlege_PageIndex_4")["shown"].asBool());
  Shot(client, "knowledge-search-results.png");

  // Page 3: 21. to 30.
  ASSERT_TRUE(client.Click("ouKnowlege_PageIndex_3"));
  ASSERT_TRUE(Idle(client));
  titles = Titles(client, "lstKnowlegeSearchResult");
  ASSERT_EQ(titles.size(), 10u);
  EXPECT_EQ(titles.front().rfind("21.", 0), 0u) << titles.front();
  EXPECT_EQ(titles.back().rfind("30.", 0), 0u) << titles.back();
  EXPECT_TRUE(client.Control("ouKnowlege_PageIndex_3")["selected"].asBool());

  // Downloading needs a login.
  ASSERT_TRUE(client.Click("btnKnowlegeItemDownload_0"));
  Json::Value box = Call(automation, "message_box")["message_box"];
  EXPECT_TRUE(box["shown"].asBool());
  EXPECT_EQ(box["text"].asString(), "下载资料需要登录Tamsel，请先登录Tamsel");
  ASSERT_TRUE(Call(automation, "answer_message_box", {{"button", "ok"}})["ok"].asBool());
  // The login area stands in for the main area until the user logs in or goes back.
  EXPECT_TRUE(client.Control("vluLoginFrame")["shown"].asBool());
  ASSERT_TRUE(client.Click("btnCancelForLogin"));

  // A later start hands its link over and ends; the running client queues the document and
  // shows its queue, whose rows ask for a login.
  ClientProcess later(dir_.path(), service_.host());
  ASSERT_TRUE(later.Start({"--", "\"zelk://download/downid=1001\""}));
  EXPECT_EQ(later.WaitForExit(), 0);
  ASSERT_TRUE(Eventually([&] { return Titles(client, "lstKnowlegeDownloading").size() == 2; }));
  ASSERT_TRUE(Idle(client));
  EXPECT_EQ(client.Control("tluKnowlege_Desktop")["value"].asInt(), 2);
  EXPECT_TRUE(client.Control("knowlege_quickBar_downloding")["selected"].asBool());
  // The history is saved by a writer thread of its own, soon after the change.
  std::string history;
  EXPECT_TRUE(Eventually([&] {
    std::ifstream in(client.file("DownloadHistory.xml"));
    history.assign(std::istreambuf_iterator<char>(in), {});
    return history.find("<DownloadId>1001</DownloadId>") != std::string::npos;
  }));
  EXPECT_NE(history.find("<FileName>GB50204-2015.pdf</FileName>"), std::string::npos);
  EXPECT_NE(history.find("<DownloadId>1003</DownloadId>"), std::string::npos);
  EXPECT_NE(history.find("<DownloadId>1001</DownloadId>"), std::string::npos);
  EXPECT_NE(client.Control("txtStateInfo")["text"].asString().find("请先在Tamsel【首页】登录"),
            std::string::npos);
  Shot(client, "knowledge-downloading-without-login.png");

  // The finished list: opening a present file, a file that is gone, deleting a row.
  ASSERT_TRUE(client.Click("knowlege_quickBar__downloded"));
  EXPECT_EQ(client.Control("tluKnowlege_Desktop")["value"].asInt(), 3);
  EXPECT_EQ(Titles(client, "lstKnowlegeDownloaded"),
            (std::vector<std::string>{"验收规范.pdf", "设计规范.pdf"}));
  Shot(client, "knowledge-downloaded.png");
  ASSERT_TRUE(client.Click("btnKnowlegeDownloaded_Open_0"));
  const Json::Value opened = Call(automation, "opened")["opened"];
  ASSERT_GE(opened.size(), 1u);
  EXPECT_EQ(opened[opened.size() - 1]["target"].asString(), folder + "/验收规范.pdf");
  ASSERT_TRUE(client.Click("btnKnowlegeDownloaded_Open_1"));
  box = Call(automation, "message_box")["message_box"];
  EXPECT_EQ(box["text"].asString(), "文件不存在!");
  ASSERT_TRUE(Call(automation, "answer_message_box", {{"button", "ok"}})["ok"].asBool());
  ASSERT_TRUE(client.Click("btnKnowlegeDownloaded_Delete_0"));
  EXPECT_FALSE(fs::exists(folder + "/验收规范.pdf"));
  EXPECT_EQ(Titles(client, "lstKnowlegeDownloaded"), std::vector<std::string>{"设计规范.pdf"});

  // A share button of a finished row opens the service's four share pages.
  const Json::ArrayIndex before = Call(automation, "opened")["opened"].size();
  ASSERT_TRUE(client.Click("btnShareTo_ShareToAll_For_KnowlegeDownloaded_0"));
  EXPECT_EQ(Call(automation, "opened")["opened"].size(), before + 4);
}

}  // namespace
}  // namespace ui_testing

namespace ui_testing {
namespace {

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(KnowledgeClientTest, ALoggedInUsersLinkIsDownloadedFinishedAndReported) {
  ASSERT_TRUE(service_.Start(0, /*withFiles=*/true));
  ClientProcess client(dir_.path(), service_.host());
  ASSERT_TRUE(client.Start());
  ASSERT_TRUE(Idle(client));
  AutomationClient& automation = client.automation();
  if (Call(automation, "message_box")["message_box"]["shown"].asBool()) {
    Call(automation, "answer_message_box", {{"button", "ok"}});
  }
  ASSERT_TRUE(client.Click("btnLogin"));
  Call(automation, "set_text",
       {{"window", kMain}, {"name", "txtLoginIdForLogin"}, {"text", "13800000000"}});
  Call(automation, "set_text",
       {{"window", kMain}, {"name", "txtLoginPwdForLogin"}, {"text", "123456"}});
  ASSERT_TRUE(client.Click("btnLoginForLogin"));
  ASSERT_TRUE(Eventually([&] {
    Idle(client);
    return client.Control("tluHome_Right_UserCenterDesktop")["value"].asInt() == 2;
  }));

  // A web page's link, handed over by a later start, is fetched from the file server.
  ClientProcess later(dir_.path(), service_.host());
  ASSERT_TRUE(later.Start({"--", "zelk://download/downid=1048"}));
  EXPECT_EQ(later.WaitForExit(), 0);
  ASSERT_TRUE(Eventually(
      [&] {
        Idle(client);
        return Titles(client, "lstKnowlegeDownloaded").size() == 1;
      },
      60000));
  EXPECT_TRUE(Titles(client, "lstKnowlegeDownloading").empty());
  const std::string folder = client.file("Downloads/Knowlege");
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u);
  const std::string served = StagedApplication() + "/../devservice-files/Knowlege/BG-JZSQ.docx";
  const std::string expected = FileBytes(served);
  ASSERT_EQ(expected.size(), 81920u);
  EXPECT_TRUE(FileBytes(files[0].string()) == expected) << files[0];

  // The service has the completion report of the logged-in user.
  ASSERT_TRUE(Eventually([&] {
    return FileBytes(dir_.file("service") + "/state.json").find("\"1048\"") != std::string::npos;
  }));
}

}  // namespace
}  // namespace ui_testing
