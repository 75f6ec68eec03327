// The knowledge tab of the real client, headless, against the local development service: a
// search from the search home and a later page, a download without a login, download links of
// web pages from the first start's command line and from a later start, the finished list's
// rows, and a logged-in user's download queue from the file server. Each test covers its whole
// scenario with one client start. With ZELK_SCREENSHOT_DIR set the pictures go there (the
// documentation's), otherwise into the test's folder.

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "client_process.h"
#include "service_client_test.h"
#include "support/sha256_hex.h"

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

class KnowledgeClientTest : public ServiceClientTest {
 protected:
  void SetUp() override {
    ServiceClientTest::SetUp();
    const char* target = std::getenv("ZELK_SCREENSHOT_DIR");
    shots_ = target != nullptr ? target : dir_.file("screenshots");
    fs::create_directories(shots_);
  }

  Json::Value Call(AutomationClient& automation, const std::string& cmd,
                   std::initializer_list<std::pair<const char*, Json::Value>> fields = {}) {
    return automation.Call(cmd, fields);
  }
  // Only while no transfer runs: a running download's worker keeps the program busy.
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

// ---------------------------------------------------------------------------------------------
// A logged-in user's download queue against the file server.

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::int64_t FileSize(const std::string& path) {
  std::error_code error;
  const auto size = fs::file_size(path, error);
  return error ? -1 : static_cast<std::int64_t>(size);
}

// A row of the queue as the user sees it.
struct QueueRow {
  std::string title;
  std::string state;
  std::string execute;  // the pause / start button's text
  bool operator==(const QueueRow&) const = default;
};

std::ostream& operator<<(std::ostream& out, const QueueRow& row) {
  return out << "{" << row.title << ", " << row.state << ", " << row.execute << "}";
}

// The children of a history record: names and texts in document order.
using RecordFields = std::vector<std::pair<std::string, std::string>>;

RecordFields QueuedRecord(const std::string& downloadId, const std::string& fileName,
                          const std::string& state, const std::string& stateInfo,
                          const std::string& localName, const std::string& folder) {
  return {{"Index", "0"},
          {"BlockIndex", "0"},
          {"DownloadId", downloadId},
          {"FileName", fileName},
          {"StoreFileKind", "Knowlege"},
          {"FileTotalLength", "0"},
          {"DataBufferLength", "0"},
          {"DownloadState", state},
          {"DownloadStateInfo", stateInfo},
          {"IsDownloadFinish", "false"},
          {"LocalFileName", localName},
          {"LocalFullName", folder + "/" + localName}};
}

RecordFields FinishedFields(int index, const std::string& downloadId, const std::string& fileName,
                            const std::string& localName, const std::string& folder) {
  return {{"Index", std::to_string(index)},
          {"BlockIndex", "0"},
          {"DownloadId", downloadId},
          {"FileName", fileName},
          {"StoreFileKind", "Knowlege"},
          {"FileTotalLength", "0"},
          {"DataBufferLength", "0"},
          {"DownloadState", "DownloadFinish"},
          {"IsDownloadFinish", "true"},
          {"LocalFileName", localName},
          {"LocalFullName", folder + "/" + localName}};
}

// The history file read as its tree: the root and its two lists in their order, every record a
// list of fields, no attributes anywhere; a tree of another shape fails the test.
struct HistoryTree {
  std::vector<RecordFields> finished;
  std::vector<RecordFields> queued;
};

bool HasAttributes(const TiXmlElement& element) {
  if (element.FirstAttribute() != nullptr) return true;
  for (const TiXmlElement* child = element.FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    if (HasAttributes(*child)) return true;
  }
  return false;
}

std::vector<RecordFields> ListRecords(const TiXmlElement& list) {
  std::vector<RecordFields> records;
  for (const TiXmlElement* record = list.FirstChildElement(); record != nullptr;
       record = record->NextSiblingElement()) {
    EXPECT_STREQ(record->Value(), "LibDownloadFileInfo");
    RecordFields fields;
    for (const TiXmlElement* field = record->FirstChildElement(); field != nullptr;
         field = field->NextSiblingElement()) {
      fields.emplace_back(field->Value(), field->GetText() != nullptr ? field->GetText() : "");
    }
    records.push_back(std::move(fields));
  }
  return records;
}

HistoryTree ReadHistory(const std::string& path) {
  HistoryTree tree;
  TiXmlDocument document;
  EXPECT_TRUE(document.LoadFile(path.c_str(), TIXML_ENCODING_UTF8)) << path;
  const TiXmlDeclaration* declaration =
      document.FirstChild() != nullptr ? document.FirstChild()->ToDeclaration() : nullptr;
  if (declaration == nullptr) {
    ADD_FAILURE() << "no XML declaration first in " << path;
  } else {
    EXPECT_STREQ(declaration->Version(), "1.0");
    EXPECT_STREQ(declaration->Encoding(), "");
    EXPECT_STREQ(declaration->Standalone(), "");
  }
  const TiXmlElement* root = document.RootElement();
  if (root == nullptr) {
    ADD_FAILURE() << "no root element in " << path;
    return tree;
  }
  EXPECT_STREQ(root->Value(), "LibLocalDownloadHistory");
  EXPECT_FALSE(HasAttributes(*root));
  const TiXmlElement* finished = root->FirstChildElement();
  const TiXmlElement* queued = finished != nullptr ? finished->NextSiblingElement() : nullptr;
  if (finished == nullptr || queued == nullptr || queued->NextSiblingElement() != nullptr ||
      std::string(finished->Value()) != "HasDownloadList" ||
      std::string(queued->Value()) != "DownloadingList") {
    ADD_FAILURE() << "the root does not hold exactly HasDownloadList and DownloadingList";
    return tree;
  }
  tree.finished = ListRecords(*finished);
  tree.queued = ListRecords(*queued);
  return tree;
}

class KnowledgeQueueTest : public KnowledgeClientTest {
 protected:
  // From the home page, where the user center is.
  void LogIn(ClientProcess& client, const std::string& loginId) {
    ASSERT_TRUE(client.Click("quickBar_Home"));
    ASSERT_TRUE(client.Click("btnLogin"));
    Type(client, "txtLoginIdForLogin", loginId);
    Type(client, "txtLoginPwdForLogin", "123456");
    ASSERT_TRUE(client.Click("btnLoginForLogin"));
    ASSERT_TRUE(Eventually([&] {
      return client.Control("tluHome_Right_UserCenterDesktop")["value"].asInt() == 2 &&
             client.Control("vluMainFrame")["shown"].asBool();
    }));
  }
  void LogOut(ClientProcess& client) {
    ASSERT_TRUE(client.Click("quickBar_Home"));
    ASSERT_TRUE(client.Click("btnMenuForUserCenter"));
    ASSERT_TRUE(client.Click("ucenter_menu_item_Logout", "UCenterMenuWnd"));
    ASSERT_TRUE(Eventually(
        [&] { return client.Control("tluHome_Right_UserCenterDesktop")["value"].asInt() == 0; }));
  }
  static void Type(ClientProcess& client, const char* name, const std::string& text) {
    ASSERT_TRUE(client.automation()
                    .Call("set_text", {{"window", kMain}, {"name", name}, {"text", text}})["ok"]
                    .asBool())
        << name;
  }
  // The knowledge tab with the queue (or the finished list) in front, where a user clicks.
  static void ShowList(ClientProcess& client, bool queue) {
    ASSERT_TRUE(client.Click("quickBar_Knowlege"));
    ASSERT_TRUE(
        client.Click(queue ? "knowlege_quickBar_downloding" : "knowlege_quickBar__downloded"));
  }
  static std::vector<QueueRow> Queue(ClientProcess& client) {
    std::vector<QueueRow> rows;
    const Json::Value items = client.automation().Call(
        "items", {{"window", kMain}, {"name", "lstKnowlegeDownloading"}})["items"];
    for (const Json::Value& item : items) {
      QueueRow row;
      std::function<void(const Json::Value&)> find = [&](const Json::Value& node) {
        const std::string name = node["name"].asString();
        if (name == "txtTitle") row.title = node["text"].asString();
        if (name == "txtStateInfo") row.state = node["text"].asString();
        if (name.starts_with("btnKnowlegeDownloading_Execute_")) {
          row.execute = node["text"].asString();
        }
        for (const Json::Value& child : node["children"]) find(child);
      };
      find(item);
      rows.push_back(row);
    }
    return rows;
  }
  // Row n of the queue shows a transfer in progress (the status line of its progress).
  static bool InProgress(const std::vector<QueueRow>& rows, std::size_t n,
                         const std::string& title) {
    return rows.size() > n && rows[n].title == title &&
           rows[n].state.starts_with("下载状态:文件大小:") && rows[n].execute == "暂停";
  }
  // The queue shows `running` on its way first and `paused` paused after it.
  static bool RunsThenPaused(ClientProcess& client, const std::string& running,
                             const std::string& paused) {
    const std::vector<QueueRow> rows = Queue(client);
    return rows.size() == 2 && InProgress(rows, 0, running) &&
           rows[1] == QueueRow{paused, "下载状态:暂停下载", "开始"};
  }
  // The first request of each file server connection so far: file name and offset.
  std::vector<std::pair<std::string, std::int64_t>> FileRequests() {
    std::vector<std::pair<std::string, std::int64_t>> requests;
    const Json::Value answer = Get("_dev/files/requests");
    for (const Json::Value& request : answer["requests"]) {
      requests.emplace_back(request["file"].asString(), request["offset"].asInt64());
    }
    return requests;
  }
  bool Timer80Set(ClientProcess& client) {
    const Json::Value answer = client.automation().Call("timers", {{"window", kMain}});
    for (const Json::Value& timer : answer["timers"]) {
      if (timer["id"].asInt() == 80) return timer["period_ms"].asInt64() == 10000;
    }
    return false;
  }
};

TEST_F(KnowledgeQueueTest, ALoggedInUsersQueueResumesPausesWaitsForPermissionFinishesAndReports) {
  ASSERT_TRUE(service_.Start(0, /*withFiles=*/true));
  // Slow transfers, so that the queue can be watched and changed while a file is on its way:
  // about four blocks a second, some 30 s for the smaller file, until the pace is lifted.
  ASSERT_EQ(Get("_dev/files/pace?bytes_per_second=16384")["result"].asInt(), 1);
  ClientProcess client(dir_.path(), service_.host());
  ASSERT_TRUE(client.Start());
  ASSERT_TRUE(Idle(client));
  AutomationClient& automation = client.automation();
  if (Call(automation, "message_box")["message_box"]["shown"].asBool()) {
    Call(automation, "answer_message_box", {{"button", "ok"}});
  }
  ASSERT_NO_FATAL_FAILURE(LogIn(client, "13800000000"));
  ASSERT_TRUE(Idle(client));

  const std::string folder = client.file("Downloads/Knowlege");
  const std::string first = "检验批质量验收记录表（混凝土结构全套）.xlsx";  // 512 KiB
  const std::string second = "技术交底记录模板（各分项工程）.docx";         // 700 KiB
  const std::string firstPath = folder + "/" + first;
  const std::string secondPath = folder + "/" + second;

  // The first file from a search result: its transfer starts.
  ASSERT_TRUE(client.Click("quickBar_Knowlege"));
  ASSERT_NO_FATAL_FAILURE(Type(client, "txtKnowlegeSearchKeyword", "检验批"));
  ASSERT_TRUE(client.Click("btnKnowlegeSearchSearch"));
  ASSERT_TRUE(Idle(client));
  const std::vector<std::string> results = Titles(client, "lstKnowlegeSearchResult");
  ASSERT_FALSE(results.empty());
  ASSERT_NE(results[0].find("质量验收记录表（混凝土结构全套）"), std::string::npos) << results[0];
  ASSERT_TRUE(client.Click("btnKnowlegeItemDownload_0"));
  EXPECT_FALSE(client.Control("btnKnowlegeItemDownload_0")["enabled"].asBool());
  ASSERT_TRUE(Eventually([&] { return InProgress(Queue(client), 0, first); }));
  ASSERT_TRUE(Eventually([&] { return FileSize(firstPath) > 0; }));

  // The second file, from a web page's link that a later start hands over: the running
  // transfer stops, the queue restarts, and the first file, still first, goes on from the part
  // on disk.
  const std::int64_t partBefore = FileSize(firstPath);
  ClientProcess later(dir_.path(), service_.host());
  ASSERT_TRUE(later.Start({"--", "zelk://download/downid=1042"}));
  EXPECT_EQ(later.WaitForExit(), 0);
  ASSERT_TRUE(Eventually([&] { return FileRequests().size() >= 2; }));
  std::vector<std::pair<std::string, std::int64_t>> requests = FileRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], (std::pair<std::string, std::int64_t>("BG-JYP-HNT.xlsx", 0)));
  EXPECT_EQ(requests[1].first, "BG-JYP-HNT.xlsx");
  EXPECT_GE(requests[1].second, partBefore);
  EXPECT_GT(requests[1].second, 0);
  ASSERT_TRUE(Eventually([&] {
    const std::vector<QueueRow> rows = Queue(client);
    return rows.size() == 2 && InProgress(rows, 0, first) &&
           rows[1] == QueueRow{second, "下载状态:等待下载", "暂停"};
  }));
  EXPECT_EQ(client.Control("tluKnowlege_Desktop")["value"].asInt(), 2);
  EXPECT_TRUE(
      Eventually([&] { return client.Control("pgDownloadProgress0")["value"].asInt() > 0; }));

  // Pausing the running row starts the next one.
  ASSERT_TRUE(client.Click("btnKnowlegeDownloading_Execute_0"));
  ASSERT_TRUE(Eventually([&] { return RunsThenPaused(client, second, first); }));
  requests = FileRequests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[2], (std::pair<std::string, std::int64_t>("BG-JSJD.docx", 0)));

  // With every row paused nothing runs, and the history file holds both records as paused.
  ASSERT_TRUE(client.Click("btnKnowlegeDownloading_Execute_0"));
  ASSERT_TRUE(Idle(client));
  const std::vector<QueueRow> paused{{first, "下载状态:暂停下载", "开始"},
                                     {second, "下载状态:暂停下载", "开始"}};
  EXPECT_EQ(Queue(client), paused);
  EXPECT_EQ(FileRequests().size(), 3u);
  // The history reaches the disk from a writer thread of its own, soon after the change.
  HistoryTree history;
  EXPECT_TRUE(Eventually([&] {
    history = ReadHistory(client.file("DownloadHistory.xml"));
    return history.queued.size() == 2 && std::all_of(history.queued.begin(), history.queued.end(),
                                                     [](const RecordFields& record) {
                                                       return record.size() == 12 &&
                                                              record[7].second == "Pause";
                                                     });
  }));
  EXPECT_TRUE(history.finished.empty());
  ASSERT_EQ(history.queued.size(), 2u);
  // The status line a record keeps is the one its row showed when it was paused.
  for (RecordFields& record : history.queued) {
    ASSERT_EQ(record.size(), 12u);
    EXPECT_TRUE(record[8].second.starts_with("下载状态:")) << record[8].second;
    record[8].second = "…";
  }
  EXPECT_EQ(history.queued[0],
            QueuedRecord("1040", "BG-JYP-HNT.xlsx", "Pause", "…", first, folder));
  EXPECT_EQ(history.queued[1], QueuedRecord("1042", "BG-JSJD.docx", "Pause", "…", second, folder));

  // A user without the permission: every row shows the service's refusal.
  ASSERT_NO_FATAL_FAILURE(LogOut(client));
  ASSERT_NO_FATAL_FAILURE(LogIn(client, "13800000001"));
  ASSERT_TRUE(Eventually([&] {
    const std::vector<QueueRow> rows = Queue(client);
    return rows.size() == 2 && rows[0].state == "您的帐号暂未开通资料下载权限，请联系客服开通." &&
           rows[1].state == rows[0].state;
  }));

  // Back to the user who may download: the paused rows stay paused.
  ASSERT_NO_FATAL_FAILURE(LogOut(client));
  ASSERT_NO_FATAL_FAILURE(LogIn(client, "13800000000"));
  ASSERT_TRUE(Idle(client));
  EXPECT_EQ(Queue(client), paused);
  EXPECT_EQ(FileRequests().size(), 3u);

  // Resumed while the permission check fails: every row says so and the queue asks again
  // once, 10 s later; the test fires that timer instead of waiting.
  ASSERT_EQ(
      Get("_dev/outage?path=auth/auth_verify.aspx&param=kind&value=11&count=1")["result"].asInt(),
      1);
  ASSERT_NO_FATAL_FAILURE(ShowList(client, /*queue=*/true));
  ASSERT_TRUE(client.Click("btnKnowlegeDownloading_Execute_0"));
  ASSERT_TRUE(Eventually([&] {
    const std::vector<QueueRow> rows = Queue(client);
    return rows.size() == 2 && rows[0].state == "无法访问远程接口" &&
           rows[1].state == "无法访问远程接口";
  }));
  EXPECT_TRUE(Timer80Set(client));
  EXPECT_EQ(FileRequests().size(), 3u);
  const std::int64_t partPaused = FileSize(firstPath);
  ASSERT_TRUE(Call(automation, "fire_timer", {{"window", kMain}, {"id", 80}})["ok"].asBool());
  EXPECT_FALSE(Timer80Set(client));
  ASSERT_TRUE(Eventually([&] { return RunsThenPaused(client, first, second); }));
  requests = FileRequests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[3], (std::pair<std::string, std::int64_t>("BG-JYP-HNT.xlsx", partPaused)));

  // Both resumed and the pace lifted: they finish one after the other, byte for byte the
  // served files, and the service has both completion reports.
  ASSERT_TRUE(client.Click("btnKnowlegeDownloading_Execute_1"));
  ASSERT_EQ(Get("_dev/files/pace?bytes_per_second=0")["result"].asInt(), 1);
  ASSERT_TRUE(Eventually(
      [&] { return Queue(client).empty() && Titles(client, "lstKnowlegeDownloaded").size() == 2; },
      60000));
  ASSERT_TRUE(Idle(client));
  EXPECT_EQ(Titles(client, "lstKnowlegeDownloaded"), (std::vector<std::string>{first, second}));
  std::vector<std::string> onDisk;
  for (const auto& entry : fs::directory_iterator(folder)) {
    onDisk.push_back(entry.path().filename().string());
  }
  std::vector<std::string> expected{first, second};
  std::sort(onDisk.begin(), onDisk.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(onDisk, expected);
  const std::string served = StagedApplication() + "/../devservice-files/Knowlege/";
  EXPECT_EQ(FileSize(firstPath), 524288);
  EXPECT_EQ(testing_support::Sha256Hex(FileBytes(firstPath)),
            testing_support::Sha256Hex(FileBytes(served + "BG-JYP-HNT.xlsx")));
  EXPECT_EQ(FileSize(secondPath), 716800);
  EXPECT_EQ(testing_support::Sha256Hex(FileBytes(secondPath)),
            testing_support::Sha256Hex(FileBytes(served + "BG-JSJD.docx")));
  ASSERT_TRUE(Eventually([&] {
    Json::Value state;
    Json::Reader().parse(FileBytes(dir_.file("service") + "/state.json"), state);
    std::int32_t uid = -1;
    for (const Json::Value& account : state["accounts"]) {
      if (account["loginId"].asString() == "13800000000") uid = account["uid"].asInt();
    }
    std::vector<std::string> reported;
    for (const Json::Value& report : state["downloadReports"]) {
      if (report["uid"].asInt() == uid) reported.push_back(report["downloadId"].asString());
    }
    return reported == std::vector<std::string>{"1040", "1042"};
  }));

  // The finished list: a file opens with the shell; a deleted row takes its file along.
  ASSERT_NO_FATAL_FAILURE(ShowList(client, /*queue=*/false));
  ASSERT_TRUE(client.Click("btnKnowlegeDownloaded_Open_0"));
  const Json::Value opened = Call(automation, "opened")["opened"];
  ASSERT_GE(opened.size(), 1u);
  EXPECT_EQ(opened[opened.size() - 1]["target"].asString(), firstPath);
  ASSERT_TRUE(client.Click("btnKnowlegeDownloaded_Delete_1"));
  EXPECT_FALSE(fs::exists(secondPath));
  EXPECT_TRUE(fs::exists(firstPath));
  EXPECT_EQ(Titles(client, "lstKnowlegeDownloaded"), std::vector<std::string>{first});

  // What the history file holds now: the finished record, an empty queue.
  EXPECT_TRUE(Eventually([&] {
    history = ReadHistory(client.file("DownloadHistory.xml"));
    return history.queued.empty() && history.finished.size() == 1;
  }));
  ASSERT_EQ(history.finished.size(), 1u);
  EXPECT_EQ(history.finished[0], FinishedFields(0, "1040", "BG-JYP-HNT.xlsx", first, folder));
}

}  // namespace
}  // namespace ui_testing
