// The knowledge download lists on a fake main window: the history file a fresh program folder
// gets, the engine messages' changes to the row of their file, what each end result does to the
// record, and the answers of the permission check in the queue's rows.

#include "knowledge/knowledge_lists.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/window_timers.h"
#include "knowledge/download_permission.h"
#include "knowledge/knowlege_downloaded_item_ui.h"
#include "knowledge/knowlege_downloading_item_ui.h"
#include "knowledge/knowlege_result_item_ui.h"
#include "knowledge_lists_routing.h"
#include "platform/code_page.h"
#include "skinui/button.h"
#include "skinui/label.h"
#include "skinui/list.h"
#include "skinui/paint_manager.h"
#include "skinui/progress.h"
#include "skinui/tab_layout.h"
#include "skinui/window.h"
#include "support/fake_feature_host.h"
#include "support/temp_dir.h"
#include "test_file_server.h"
#include "zelk_lib_stand_in.h"

namespace knowledge {
namespace {

using knowledge_testing::StandIn;

constexpr std::int32_t kUid = 10001;

class KnowledgeListsTest : public ::testing::Test {
 protected:
  KnowledgeListsTest() {
    platform::SetAnsiCodesetOverride("UTF-8");
    {
      std::lock_guard lock(StandIn().webMutex);
      StandIn().webReply.clear();
      StandIn().webFails = false;
      StandIn().requestedUrls.clear();
    }
    StandIn().internetReachable = true;
    host.SetMessageHandler([this](std::uint32_t message, platform::Payload& payload) {
      knowledge_testing::RouteToKnowledgeLists(*lists, message, payload, routed);
    });
  }
  ~KnowledgeListsTest() override {
    lists.reset();
    platform::SetAnsiCodesetOverride("");
  }

  // Queues a waiting record as a click on a search result does.
  void Queue(const std::u16string& fileName, DownloadState state = DownloadState::DownloadWaiting) {
    LibDownloadFileInfo record;
    record.FileName = fileName;
    record.DownloadId = u"id-" + fileName;
    record.LocalFileName = u"本地-" + fileName;
    record.State = state;
    ASSERT_TRUE(lists->History().AddDownloading(record));
  }
  void Settle() { ASSERT_TRUE(ui.loop.waitIdle(30000)); }

  skinui::List& Downloading() {
    return *host.OwnerWindow().GetPaintManager().TryFind<skinui::List>("lstKnowlegeDownloading");
  }
  skinui::List& Downloaded() {
    return *host.OwnerWindow().GetPaintManager().TryFind<skinui::List>("lstKnowlegeDownloaded");
  }
  CKnowlegeDownloadingItemUI& Row(int index) {
    return *dynamic_cast<CKnowlegeDownloadingItemUI*>(Downloading().GetItemAt(index));
  }
  static std::u16string StatusOf(CKnowlegeDownloadingItemUI& row) {
    return dynamic_cast<skinui::Label*>(row.FindByName("txtStateInfo"))->GetText();
  }
  static skinui::Progress& BarOf(CKnowlegeDownloadingItemUI& row, int position) {
    return *dynamic_cast<skinui::Progress*>(
        row.FindByName("pgDownloadProgress" + std::to_string(position)));
  }
  std::vector<std::u16string> QueuedFiles() {
    std::vector<std::u16string> names;
    for (const auto& record : lists->History().LoadDownloading(lists->KnowlegeDownloadFolder())) {
      names.push_back(record.FileName);
    }
    return names;
  }

  testing_support::TempDir dir;
  core::ZelkLibBinding lib = knowledge_testing::MakeStandInBinding();
  testing_support::HeadlessUi ui;
  testing_support::FakeFeatureHost host{ui.context, lib, dir.path(),
                                        knowledge_testing::kDownloadListsLayout};
  knowledge_testing::RoutedMessages routed;
  std::unique_ptr<KnowledgeLists> lists = std::make_unique<KnowledgeLists>(host);
};

TEST_F(KnowledgeListsTest, AFreshProgramFolderGetsItsHistoryFile) {
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("DownloadHistory.xml")));
}

TEST_F(KnowledgeListsTest, EngineMessagesChangeTheRowOfTheirFileOnly) {
  Queue(u"a.pdf");
  Queue(u"b.pdf");
  lists->StartKnowledgeQueue(0, u"暂不可下载");
  ASSERT_EQ(Downloading().GetCount(), 2);
  CKnowlegeDownloadingItemUI& a = Row(0);
  CKnowlegeDownloadingItemUI& b = Row(1);
  EXPECT_FALSE(BarOf(b, 1).IsVisible());

  // A progress before the start leaves a value behind that the start resets.
  lists->OnDownloadProgress({u"b.pdf", StoreFileKind::Knowlege, 100, 50});
  EXPECT_EQ(BarOf(b, 1).GetValue(), 50);
  lists->OnDownloadStarted({u"b.pdf", StoreFileKind::Knowlege});
  EXPECT_EQ(b.Record().State, DownloadState::Downloading);
  EXPECT_EQ(StatusOf(b), u"下载准备中...");
  EXPECT_EQ(
      dynamic_cast<skinui::Button*>(b.FindByName("btnKnowlegeDownloading_Execute_1"))->GetText(),
      u"暂停");
  skinui::Progress& bar = BarOf(b, 1);
  EXPECT_TRUE(bar.IsVisible());
  EXPECT_EQ(bar.GetForeImage(), "progress_fore.png");
  EXPECT_EQ(bar.GetBkImage(), "progress_back.png");
  EXPECT_EQ(bar.GetMaxValue(), 100);
  EXPECT_EQ(bar.GetValue(), 0);

  lists->OnDownloadProgress({u"b.pdf", StoreFileKind::Knowlege, 5242880, 786432});
  lists->OnDownloadProgress({u"b.pdf", StoreFileKind::Knowlege, 5242880, 1048576});
  EXPECT_EQ(StatusOf(b),
            u"下载状态:文件大小:5.00M - 下载进度:20.00% - 下载速度:512.00K/S - 剩余时间:8秒");
  EXPECT_EQ(b.Record().DownloadStateInfo, StatusOf(b));
  EXPECT_EQ(bar.GetValue(), 20);
  EXPECT_EQ(b.LastDone(), 1048576);

  // The other row and messages of files without a row change nothing.
  lists->OnDownloadStarted({u"gone.pdf", StoreFileKind::Knowlege});
  lists->OnDownloadProgress({u"gone.pdf", StoreFileKind::Knowlege, 100, 90});
  lists->OnDownloadEnded({u"gone.pdf", StoreFileKind::Knowlege, kDownloadResultFinished, u""});
  Settle();
  EXPECT_EQ(StatusOf(a), u"暂不可下载");
  EXPECT_FALSE(BarOf(a, 0).IsVisible());
  EXPECT_EQ(routed.permissions, 0);  // no restart
  EXPECT_EQ(QueuedFiles(), (std::vector<std::u16string>{u"a.pdf", u"b.pdf"}));
  EXPECT_TRUE(lists->History().LoadFinished().empty());
}

TEST_F(KnowledgeListsTest, AFinishedFileMovesToTheFinishedListAndTheQueueGoesOn) {
  Queue(u"a.pdf");
  Queue(u"b.pdf");
  lists->StartKnowledgeQueue(0, u"");
  lists->OnDownloadStarted({u"a.pdf", StoreFileKind::Knowlege});
  lists->OnDownloadEnded({u"a.pdf", StoreFileKind::Knowlege, kDownloadResultFinished, u""});

  const auto finished = lists->History().LoadFinished();
  ASSERT_EQ(finished.size(), 1u);
  EXPECT_EQ(finished[0].FileName, u"a.pdf");
  EXPECT_EQ(finished[0].DownloadId, u"id-a.pdf");
  EXPECT_TRUE(finished[0].IsDownloadFinish);
  EXPECT_EQ(QueuedFiles(), std::vector<std::u16string>{u"b.pdf"});
  ASSERT_EQ(Downloaded().GetCount(), 1);
  auto* row = dynamic_cast<CKnowlegeDownloadedItemUI*>(Downloaded().GetItemAt(0));
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(dynamic_cast<skinui::Label*>(row->FindByName("txtTitle"))->GetText(), u"本地-a.pdf");
  EXPECT_NE(row->FindByName("btnKnowlegeDownloaded_Open_0"), nullptr);
  EXPECT_NE(row->FindByName("btnShareTo_ShareToSina_For_KnowlegeDownloaded_0"), nullptr);
  // Both shipped row layouts hold every sub-control the rows look up, and every picture.
  EXPECT_EQ(host.logLines, std::vector<std::u16string>{});

  // The restart asks for permission; nobody is logged in, so nothing starts, no report is
  // sent, and the remaining row says why.
  Settle();
  EXPECT_EQ(routed.permissions, 1);
  ASSERT_EQ(Downloading().GetCount(), 1);
  EXPECT_EQ(Row(0).Record().FileName, u"b.pdf");
  EXPECT_EQ(StatusOf(Row(0)), kLoginFirstText);
  EXPECT_FALSE(lists->Engine().IsRunning());
  std::lock_guard lock(StandIn().webMutex);
  EXPECT_TRUE(StandIn().requestedUrls.empty());
}

TEST_F(KnowledgeListsTest, EachEndResultDecidesTheRecordsFate) {
  Queue(u"a.pdf");
  Queue(u"b.pdf");
  Queue(u"c.pdf");
  lists->StartKnowledgeQueue(0, u"");

  // 4: the row keeps what it shows and nothing restarts.
  lists->OnDownloadEnded({u"c.pdf", StoreFileKind::Knowlege, 4, u""});
  Settle();
  EXPECT_EQ(routed.permissions, 0);

  // 5: the server lacks the file; its record goes, nowhere else, and the queue restarts.
  lists->OnDownloadEnded({u"a.pdf", StoreFileKind::Knowlege, kDownloadResultNotOnServer, u"x"});
  Settle();
  EXPECT_EQ(routed.permissions, 1);
  EXPECT_EQ(QueuedFiles(), (std::vector<std::u16string>{u"b.pdf", u"c.pdf"}));
  EXPECT_TRUE(lists->History().LoadFinished().empty());
  EXPECT_EQ(Downloading().GetCount(), 2);

  // Any other end (stopped, failed, no network) keeps the record and restarts.
  lists->OnDownloadEnded({u"b.pdf", StoreFileKind::Knowlege, kDownloadResultNoNetwork, u"x"});
  Settle();
  EXPECT_EQ(routed.permissions, 2);
  EXPECT_EQ(QueuedFiles(), (std::vector<std::u16string>{u"b.pdf", u"c.pdf"}));
}

TEST_F(KnowledgeListsTest, ARefusalShowsItsReasonInEveryRowAndAnUnreachableServiceIsAskedAgain) {
  Queue(u"a.pdf");
  Queue(u"b.pdf");
  lists->SetLoggedInUidQuery([] { return std::optional<std::int32_t>(kUid); });

  {
    std::lock_guard lock(StandIn().webMutex);
    StandIn().webFails = true;
  }
  lists->DoRefreshDownloadList();
  Settle();
  ASSERT_EQ(Downloading().GetCount(), 2);
  EXPECT_EQ(StatusOf(Row(0)), kPermissionUnreachableText);
  EXPECT_EQ(StatusOf(Row(1)), kPermissionUnreachableText);
  EXPECT_EQ(host.timersSet, (std::vector<testing_support::FakeFeatureHost::TimerRequest>{
                                {core::kKnowlegeQueueRetryTimer, 10000}}));
  EXPECT_EQ(routed.networkErrors, 0);
  {
    std::lock_guard lock(StandIn().webMutex);
    ASSERT_EQ(StandIn().requestedUrls.size(), 1u);
    EXPECT_NE(StandIn().requestedUrls[0].find(u"auth/auth_verify.aspx?kind=11&uid=10001"),
              std::u16string::npos);
  }

  // No network at all: the window hears of it, and only the network probe brings the queue
  // back.
  StandIn().internetReachable = false;
  lists->RestartKnowledgeQueue();
  Settle();
  EXPECT_EQ(StatusOf(Row(1)), kPermissionNoNetworkText);
  EXPECT_EQ(routed.networkErrors, 1);
  EXPECT_EQ(host.timersSet.size(), 1u);

  // The service's own refusal.
  {
    std::lock_guard lock(StandIn().webMutex);
    StandIn().webFails = false;
    StandIn().webReply = u"{\"result\":0,\"msg\":\"您的帐号暂未开通资料下载权限\"}";
  }
  lists->RestartKnowledgeQueue();
  Settle();
  EXPECT_EQ(StatusOf(Row(0)), u"您的帐号暂未开通资料下载权限");
  EXPECT_EQ(host.timersSet.size(), 1u);
  EXPECT_FALSE(lists->Engine().IsRunning());
}

TEST_F(KnowledgeListsTest, AnAllowedQueueStartsNoPausedOrFailedRow) {
  Queue(u"a.pdf", DownloadState::Pause);
  Queue(u"b.pdf", DownloadState::DownloadError);
  lists->StartKnowledgeQueue(1, u"允许下载");
  ASSERT_EQ(Downloading().GetCount(), 2);
  EXPECT_EQ(StatusOf(Row(0)), u"下载状态:暂停下载");
  EXPECT_EQ(dynamic_cast<skinui::Button*>(Row(0).FindByName("btnKnowlegeDownloading_Execute_0"))
                ->GetText(),
            u"开始");
  EXPECT_EQ(StatusOf(Row(1)), u"下载状态:下载失败");
  EXPECT_FALSE(lists->Engine().IsRunning());
}

// A search result row as the search's worker builds it.
void AddResultRow(testing_support::FakeFeatureHost& host, const std::u16string& fileName,
                  const std::u16string& title, int index) {
  auto row = std::make_unique<CKnowlegeResultItemUI>(host.OwnerWindow().GetContext().ResourcePath(),
                                                     [](const std::string&) {});
  row->Initialize({title, u"", fileName, u"id-" + fileName, 1}, title, {}, index);
  host.OwnerWindow()
      .GetPaintManager()
      .TryFind<skinui::List>("lstKnowlegeSearchResult")
      ->Add(std::move(row));
}

TEST_F(KnowledgeListsTest, QueueingAResultNeedsALoginAndHappensOnce) {
  AddResultRow(host, u"a.pdf", u"规范/甲", 0);
  int loginAreaShown = 0;
  lists->SetShowLoginArea([&] { ++loginAreaShown; });
  lists->QueueKnowledgeDownload("btnKnowlegeItemDownload_0");
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0].text, u"下载资料需要登录Tamsel，请先登录Tamsel");
  EXPECT_EQ(host.messageBoxes[0].height, 160);
  EXPECT_EQ(loginAreaShown, 1);
  EXPECT_TRUE(QueuedFiles().empty());

  lists->SetLoggedInUidQuery([] { return std::optional<std::int32_t>(kUid); });
  {
    std::lock_guard lock(StandIn().webMutex);
    StandIn().webReply = u"{\"result\":0,\"msg\":\"暂停服务\"}";
  }
  lists->QueueKnowledgeDownload("btnKnowlegeItemDownload_0");
  Settle();
  const auto queued = lists->History().LoadDownloading(lists->KnowlegeDownloadFolder());
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0].DownloadId, u"id-a.pdf");
  EXPECT_EQ(queued[0].State, DownloadState::DownloadWaiting);
  EXPECT_EQ(queued[0].LocalFileName, u"规范_甲");  // the stand-in library knows no extension
  EXPECT_EQ(queued[0].LocalFullName, lists->KnowlegeDownloadFolder() + u"/规范_甲");
  EXPECT_FALSE(host.FindControl("btnKnowlegeItemDownload_0")->IsEnabled());
  EXPECT_EQ(routed.permissions, 1);
  EXPECT_EQ(StatusOf(Row(0)), u"暂停服务");

  // A second result of the same file (a later search) only disables its button.
  AddResultRow(host, u"a.pdf", u"规范乙", 1);
  lists->QueueKnowledgeDownload("btnKnowlegeItemDownload_1");
  Settle();
  EXPECT_EQ(QueuedFiles(), std::vector<std::u16string>{u"a.pdf"});
  EXPECT_FALSE(host.FindControl("btnKnowlegeItemDownload_1")->IsEnabled());
  EXPECT_EQ(routed.permissions, 1);
  std::lock_guard lock(StandIn().webMutex);
  EXPECT_EQ(std::count_if(StandIn().requestedUrls.begin(), StandIn().requestedUrls.end(),
                          [](const std::u16string& url) {
                            return url.find(u"behaviorName=KnowlegeDownload&behaviorKind=2") !=
                                   std::u16string::npos;
                          }),
            2);
}

TEST_F(KnowledgeListsTest, PausingResumingAndDeletingQueuedRows) {
  Queue(u"a.pdf");
  Queue(u"b.pdf", DownloadState::DownloadError);
  lists->StartKnowledgeQueue(0, u"");
  int loginAreaShown = 0;
  lists->SetShowLoginArea([&] { ++loginAreaShown; });

  // Waiting → paused: the rows are rebuilt in the order of their states, and without a login
  // they say so.
  lists->OnKnowlegeDownloadingClick("btnKnowlegeDownloading_Execute_0");
  Settle();
  ASSERT_EQ(Downloading().GetCount(), 2);
  EXPECT_EQ(Row(0).Record().FileName, u"a.pdf");
  EXPECT_EQ(Row(0).Record().State, DownloadState::Pause);
  EXPECT_EQ(StatusOf(Row(0)), kLoginFirstText);
  // The failed row waits again, and so comes first.
  lists->OnKnowlegeDownloadingClick("btnKnowlegeDownloading_Execute_1");
  Settle();
  EXPECT_EQ(Row(0).Record().FileName, u"b.pdf");
  EXPECT_EQ(Row(0).Record().State, DownloadState::DownloadWaiting);
  lists->OnKnowlegeDownloadingClick("btnKnowlegeDownloading_Execute_0");
  Settle();
  // All paused: every row says so, and nothing starts although downloads are allowed.
  ASSERT_EQ(Downloading().GetCount(), 2);
  lists->StartKnowledgeQueue(1, u"");
  EXPECT_EQ(StatusOf(Row(0)), u"下载状态:暂停下载");
  EXPECT_EQ(StatusOf(Row(1)), u"下载状态:暂停下载");
  EXPECT_FALSE(lists->Engine().IsRunning());
  EXPECT_EQ(loginAreaShown, 0);

  // Resuming without a login asks for one and changes nothing.
  lists->OnKnowlegeDownloadingClick("btnKnowlegeDownloading_Execute_1");
  EXPECT_EQ(loginAreaShown, 1);
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(Row(1).Record().State, DownloadState::Pause);
  for (const auto& record : lists->History().LoadDownloading(lists->KnowlegeDownloadFolder())) {
    EXPECT_EQ(record.State, DownloadState::Pause);
  }

  // Deleting leaves the partial file on disk.
  const std::string partial = platform::Utf16ToUtf8(Row(0).Record().LocalFullName);
  std::filesystem::create_directories(std::filesystem::path(partial).parent_path());
  std::ofstream(partial) << "part";
  lists->OnKnowlegeDownloadingClick("btnKnowlegeDownloading_Delete_0");
  Settle();
  EXPECT_EQ(QueuedFiles().size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(partial));
  // A name without a row, or without a number, does nothing.
  lists->OnKnowlegeDownloadingClick("btnKnowlegeDownloading_Delete_7");
  lists->OnKnowlegeDownloadingClick("btnKnowlegeDownloading_Delete_");
  Settle();
  EXPECT_EQ(QueuedFiles().size(), 1u);
}

TEST_F(KnowledgeListsTest, FinishedRowsOpenDeleteAndShareTheirFiles) {
  LibDownloadFileInfo record;
  for (const char16_t* name : {u"a.pdf", u"b.pdf"}) {
    record.FileName = name;
    record.LocalFileName = u"本地" + std::u16string(name);
    record.LocalFullName = platform::Utf8ToUtf16(dir.file(platform::Utf16ToUtf8(name)));
    ASSERT_TRUE(lists->History().AddFinished(record));
    dir.write(platform::Utf16ToUtf8(name), "content");
  }
  lists->RefreshFinishedList();
  ASSERT_EQ(Downloaded().GetCount(), 2);
  // The download manager's buttons switch between the queue and the finished list.
  auto* pages =
      host.OwnerWindow().GetPaintManager().TryFind<skinui::TabLayout>("tluKnowlege_Desktop");
  lists->SwitchKnowlegeDownloadMngPage("knowlege_downloadmng_quickBar_downloding");
  EXPECT_EQ(pages->GetCurSel(), 2);
  lists->SwitchKnowlegeDownloadMngPage("knowlege_downloadmng_quickBar_downloded");
  EXPECT_EQ(pages->GetCurSel(), 3);

  lists->OnKnowlegeDownloadedClick("btnKnowlegeDownloaded_Open_1");
  EXPECT_EQ(host.opened, std::vector<std::u16string>{platform::Utf8ToUtf16(dir.file("b.pdf"))});
  // Deleted behind the program's back: it says so.
  std::filesystem::remove(dir.file("a.pdf"));
  lists->OnKnowlegeDownloadedClick("btnKnowlegeDownloaded_Open_0");
  EXPECT_EQ(host.opened.size(), 1u);
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0].text, u"文件不存在!");
  EXPECT_EQ(host.messageBoxes[0].iconKind, 2);

  // Sharing a finished file opens the four pages with its name.
  host.opened.clear();
  EXPECT_TRUE(lists->OnShareClick("btnShareTo_ShareToAll_For_KnowlegeDownloaded_1"));
  ASSERT_EQ(host.opened.size(), 4u);
  EXPECT_TRUE(host.opened[2].ends_with(u"act=down&t=tsina&uc=&fname=本地b.pdf"));
  EXPECT_FALSE(lists->OnShareClick("btnShareTo_ShareToAll_For_HomeRight_0"));
  EXPECT_EQ(host.opened.size(), 4u);

  // Deleting a row deletes its file, without asking; a file already gone is no error.
  lists->OnKnowlegeDownloadedClick("btnKnowlegeDownloaded_Delete_1");
  EXPECT_FALSE(std::filesystem::exists(dir.file("b.pdf")));
  lists->OnKnowlegeDownloadedClick("btnKnowlegeDownloaded_Delete_0");
  EXPECT_TRUE(lists->History().LoadFinished().empty());
  EXPECT_EQ(Downloaded().GetCount(), 0);
  EXPECT_EQ(host.messageBoxes.size(), 1u);
}

TEST_F(KnowledgeListsTest, AFinishedListOfManyFilesGetsItsRowsABatchAtATime) {
  LibDownloadFileInfo record;
  for (int i = 0; i < 250; ++i) {
    record.FileName = u"f" + platform::Utf8ToUtf16(std::to_string(i)) + u".pdf";
    record.LocalFullName = platform::Utf8ToUtf16(dir.file(std::to_string(i)));
    ASSERT_TRUE(lists->History().AddFinished(record));
  }
  lists->SwitchKnowlegeDownloadMngPage("knowlege_downloadmng_quickBar_downloded");
  lists->RefreshFinishedList();
  skinui::List& list = Downloaded();
  ASSERT_EQ(list.GetCount(), 100);
  host.OwnerWindow().GetPaintManager().UpdateLayout();
  const int view = list.GetPos().Height();
  ASSERT_GT(view, 0);

  // Scrolling a little makes nothing; near the end the next batch comes, until all are rows.
  list.SetScrollY(view);
  lists->OnFinishedListScrolled();
  EXPECT_EQ(list.GetCount(), 100);
  for (const int expected : {200, 250, 250}) {
    list.SetScrollY(list.GetContentSize().cy);
    lists->OnFinishedListScrolled();
    host.OwnerWindow().GetPaintManager().UpdateLayout();
    EXPECT_EQ(list.GetCount(), expected);
  }
  // Rows of a later batch are named for their place and act on their own file.
  dir.write("149", "content");
  lists->OnKnowlegeDownloadedClick("btnKnowlegeDownloaded_Open_149");
  EXPECT_EQ(host.opened, std::vector<std::u16string>{platform::Utf8ToUtf16(dir.file("149"))});
  lists->OnKnowlegeDownloadedClick("btnKnowlegeDownloaded_Delete_149");
  EXPECT_FALSE(std::filesystem::exists(dir.file("149")));
  // Rebuilt from the history: the first batch again, without the deleted file.
  ASSERT_EQ(list.GetCount(), 100);
  const auto finished = lists->History().LoadFinished();
  ASSERT_EQ(finished.size(), 249u);
  EXPECT_EQ(finished[149].FileName, u"f150.pdf");
}

// The queue against a file server of the test's own, which does not answer the first
// connection for a.pdf and for b.pdf: those transfers wait for data until the window stops
// them, whenever the window gets to it.
TEST_F(KnowledgeListsTest, QueueingStopsAndResumesTheRunningFilePausingStartsTheNext) {
  const std::map<std::string, std::string> contents = {{"a.pdf", std::string(3 * 4096 + 100, 'a')},
                                                       {"b.pdf", std::string(2 * 4096 + 7, 'b')},
                                                       {"c.pdf", std::string(4096 + 1, 'c')}};
  // Connections 0 (a.pdf) and 2 (b.pdf) are answered with nothing.
  knowledge_testing::TestFileServer server([&](knowledge_testing::PeerSocket& peer, int index) {
    const auto request = server.nextRequest(peer);
    if (!request) return;
    if (index == 0 || index == 2) {
      while (server.nextRequest(peer)) {
      }
      return;
    }
    const std::string& content = contents.at(request->fileName);
    peer.write(knowledge_testing::TestFileServer::BlockFrame(content, request->offset));
    server.ServeFile(peer, content);
  });
  {
    std::lock_guard lock(StandIn().webMutex);
    // Both the permission check and the file server's address read this reply.
    const std::string port = std::to_string(server.port());
    StandIn().webReply = platform::Utf8ToUtf16(R"({"result":1,"msg":"127.0.0.1:)" + port +
                                               R"(","msg_ex":"localhost:)" + port + R"("})");
  }
  lists->SetLoggedInUidQuery([] { return std::optional<std::int32_t>(kUid); });
  const auto localFile = [&](const char* name) {
    return dir.file(std::string("Downloads/Knowlege/本地-") + name);
  };
  const auto read = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  };
  // A part of a.pdf is on disk already.
  std::filesystem::create_directories(std::filesystem::path(localFile("a.pdf")).parent_path());
  std::ofstream(localFile("a.pdf"), std::ios::binary) << contents.at("a.pdf").substr(0, 4096);
  Queue(u"a.pdf");

  // A failing check must not leave a transfer waiting on the server that the test ends.
  struct StopTransfer {
    KnowledgeLists& lists;
    ~StopTransfer() { lists.Engine().StopDownload(); }
  } stopTransfer{*lists};
  std::map<std::u16string, int> connects;
  host.SetMessageHandler([&](std::uint32_t message, platform::Payload& payload) {
    const auto* progress = payload.get<DownloadProgress>();
    const bool connected = message == core::WM_DOWNLOAD_PROGRESS && progress != nullptr &&
                           progress->Total == 100 && progress->Done == 0;
    const std::u16string file = connected ? progress->FileName : u"";
    knowledge_testing::RouteToKnowledgeLists(*lists, message, payload, routed);
    if (connected && ++connects[file] == 1 && file == u"a.pdf") {
      // Two more queued while a.pdf waits for data: it stops, and starts again first.
      Queue(u"b.pdf");
      Queue(u"c.pdf");
      lists->RestartKnowledgeQueue();
    } else if (connected && connects[file] == 1 && file == u"b.pdf") {
      // The running b.pdf is paused: c.pdf starts.
      ASSERT_EQ(Row(0).Record().FileName, u"b.pdf");
      lists->OnKnowlegeDownloadingClick("btnKnowlegeDownloading_Execute_0");
    }
  });
  lists->DoRefreshDownloadList();
  Settle();

  const auto requests = server.requests();
  ASSERT_GE(requests.size(), 2u);
  // a.pdf is asked from its partial file, never from its start, and ends whole. (The stop may
  // reach the first connection before its request; and the server records requests as each
  // connection's thread reads them, so their order across connections is not fixed.)
  std::vector<std::int32_t> offsets;
  for (const DownloadRequest& request : requests) {
    if (request.fileName == "a.pdf") offsets.push_back(request.offset);
  }
  ASSERT_FALSE(offsets.empty());
  EXPECT_EQ(*std::min_element(offsets.begin(), offsets.end()), 4096);
  EXPECT_TRUE(read(localFile("a.pdf")) == contents.at("a.pdf"));
  EXPECT_TRUE(read(localFile("c.pdf")) == contents.at("c.pdf"));
  ASSERT_EQ(Downloading().GetCount(), 1);
  EXPECT_EQ(Row(0).Record().FileName, u"b.pdf");
  EXPECT_EQ(StatusOf(Row(0)), u"下载状态:暂停下载");
  EXPECT_EQ(Downloaded().GetCount(), 2);
  EXPECT_EQ(server.connections(), 4);

  // Resumed, b.pdf ends whole too.
  lists->OnKnowlegeDownloadingClick("btnKnowlegeDownloading_Execute_0");
  Settle();
  EXPECT_TRUE(read(localFile("b.pdf")) == contents.at("b.pdf"));
  EXPECT_EQ(Downloading().GetCount(), 0);
  EXPECT_EQ(Downloaded().GetCount(), 3);
  // The history file: an empty queue and the three finished records in the order they ended.
  TiXmlDocument history;
  lists->History().Flush();
  ASSERT_TRUE(history.LoadFile(dir.file("DownloadHistory.xml").c_str()));
  const TiXmlElement* root = history.RootElement();
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(root->Value(), "LibLocalDownloadHistory");
  ASSERT_NE(root->FirstChildElement("DownloadingList"), nullptr);
  EXPECT_EQ(root->FirstChildElement("DownloadingList")->FirstChildElement(), nullptr);
  std::vector<std::string> finished;
  for (const TiXmlElement* e = root->FirstChildElement("HasDownloadList")->FirstChildElement();
       e != nullptr; e = e->NextSiblingElement()) {
    std::string fields = e->Value();
    for (const char* field : {"Index", "FileName", "DownloadState", "IsDownloadFinish"}) {
      const TiXmlElement* child = e->FirstChildElement(field);
      fields += std::string(":") + (child != nullptr && child->GetText() ? child->GetText() : "");
    }
    finished.push_back(fields);
  }
  EXPECT_EQ(finished,
            (std::vector<std::string>{"LibDownloadFileInfo:0:a.pdf:DownloadFinish:true",
                                      "LibDownloadFileInfo:1:c.pdf:DownloadFinish:true",
                                      "LibDownloadFileInfo:2:b.pdf:DownloadFinish:true"}));

  // One completion report per finished file.
  std::lock_guard lock(StandIn().webMutex);
  EXPECT_EQ(std::count_if(StandIn().requestedUrls.begin(), StandIn().requestedUrls.end(),
                          [](const std::u16string& url) {
                            return url.find(u"auth/auth_verify.aspx?kind=9&uid=10001") !=
                                   std::u16string::npos;
                          }),
            3);
}

}  // namespace
}  // namespace knowledge
