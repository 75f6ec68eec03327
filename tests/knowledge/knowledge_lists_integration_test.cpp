// The knowledge download lists end to end on a fake main window: a queued file is fetched from
// the development service's file server after the service allowed the logged-in demo user, moves
// to the finished list, and the service records the completion report. The real support library
// carries every request; pauses run on a manual clock.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "devservice/catalogue.h"
#include "devservice/options.h"
#include "devservice/state_store.h"
#include "knowledge/knowledge_lists.h"
#include "knowledge_lists_routing.h"
#include "platform/code_page.h"
#include "skinui/list.h"
#include "skinui/option.h"
#include "skinui/paint_manager.h"
#include "skinui/tab_layout.h"
#include "skinui/window.h"
#include "support/fake_feature_host.h"
#include "support/local_service.h"
#include "support/temp_dir.h"

namespace knowledge {
namespace {

constexpr std::size_t kContentBytes = 3 * 4096 + 1234;

std::string SampleContent() {
  std::mt19937 random(20240612);
  std::string content(kContentBytes, '\0');
  for (char& c : content) c = static_cast<char>(random() & 0xFF);
  return content;
}

// The document of the service's catalogue the test downloads (its smallest).
const devservice::Document& SmallestDocument(const devservice::Catalogue& catalogue) {
  return *std::min_element(catalogue.documents().begin(), catalogue.documents().end(),
                           [](const auto& a, const auto& b) { return a.sizeBytes < b.sizeBytes; });
}

class KnowledgeListsServiceTest : public ::testing::Test {
 protected:
  KnowledgeListsServiceTest() { platform::SetAnsiCodesetOverride("UTF-8"); }
  ~KnowledgeListsServiceTest() override {
    lists.reset();
    platform::SetAnsiCodesetOverride("");
  }

  static std::string FilesRoot(const testing_support::TempDir& folder, const std::string& fileName,
                               const std::string& content) {
    for (const char* store : {"Knowlege", "App", "UserProfile", "Platform"}) {
      std::filesystem::create_directories(folder.file(store));
    }
    folder.write("Knowlege/" + fileName, content);
    return folder.path();
  }

  // The service's catalogue names the document; its file server serves our content for it.
  const devservice::Catalogue catalogue = devservice::Catalogue::Load(devservice::DefaultDataDir());
  const devservice::Document document = SmallestDocument(catalogue);
  const std::string content = SampleContent();
  testing_support::TempDir served;
  testing_support::TempDir program;
  net_testing::LocalService local{
      {.withFiles = true, .filesRoot = FilesRoot(served, document.fileName, content)}};
  testing_support::HeadlessUi ui;
  testing_support::FakeFeatureHost host{ui.context, local.lib(), program.path(),
                                        knowledge_testing::kDownloadListsLayout};
  knowledge_testing::RoutedMessages routed;
  std::unique_ptr<KnowledgeLists> lists = std::make_unique<KnowledgeLists>(host);
};

TEST_F(KnowledgeListsServiceTest, AQueuedFileIsFetchedFinishedAndReported) {
  ASSERT_TRUE(local.lib().loaded());
  const auto account = local.service().state().accountByLoginId("13800000000");
  ASSERT_TRUE(account.has_value());
  lists->SetLoggedInUidQuery([uid = account->uid] { return std::optional<std::int32_t>(uid); });
  host.SetMessageHandler([this](std::uint32_t message, platform::Payload& payload) {
    knowledge_testing::RouteToKnowledgeLists(*lists, message, payload, routed);
  });

  LibDownloadFileInfo record;
  record.FileName = platform::Utf8ToUtf16(document.fileName);
  record.DownloadId = platform::Utf8ToUtf16(document.downId);
  record.LocalFileName = u"资料.bin";
  ASSERT_TRUE(lists->History().AddDownloading(record));

  lists->DoRefreshDownloadList();
  ASSERT_TRUE(ui.loop.waitIdle(120000));

  const std::string local_file = program.file("Downloads/Knowlege/资料.bin");
  ASSERT_TRUE(std::filesystem::is_regular_file(local_file));
  EXPECT_TRUE(program.read("Downloads/Knowlege/资料.bin") == content);
  EXPECT_TRUE(lists->History().LoadDownloading(lists->KnowlegeDownloadFolder()).empty());
  const auto finished = lists->History().LoadFinished();
  ASSERT_EQ(finished.size(), 1u);
  EXPECT_EQ(finished[0].FileName, record.FileName);
  EXPECT_EQ(host.OwnerWindow()
                .GetPaintManager()
                .TryFind<skinui::List>("lstKnowlegeDownloaded")
                ->GetCount(),
            1);
  EXPECT_EQ(host.OwnerWindow()
                .GetPaintManager()
                .TryFind<skinui::List>("lstKnowlegeDownloading")
                ->GetCount(),
            0);
  // Asked before the transfer and again when the queue restarted after it.
  EXPECT_EQ(routed.permissions, 2);
  EXPECT_EQ(local.service().state().downloadReportCount(account->uid), 1);
  EXPECT_FALSE(lists->Engine().IsRunning());
}

// A request of a web page, as a later start hands it over, on the real service.
TEST_F(KnowledgeListsServiceTest, AWebPageRequestQueuesItsDocumentOnceAndShowsTheQueue) {
  host.SetMessageHandler([this](std::uint32_t message, platform::Payload& payload) {
    knowledge_testing::RouteToKnowledgeLists(*lists, message, payload, routed);
  });
  const std::u16string link = u"zelk://download/downid=" + platform::Utf8ToUtf16(document.downId);
  lists->ProcessUrlProtocol(link);
  ASSERT_TRUE(ui.loop.waitIdle(30000));
  auto queued = lists->History().LoadDownloading(lists->KnowlegeDownloadFolder());
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0].FileName, platform::Utf8ToUtf16(document.fileName));
  EXPECT_EQ(queued[0].DownloadId, platform::Utf8ToUtf16(document.downId));
  EXPECT_TRUE(queued[0].LocalFileName.ends_with(
      local.lib().GetFileExt(platform::Utf8ToUtf16(document.fileName))));
  auto& pm = host.OwnerWindow().GetPaintManager();
  EXPECT_EQ(pm.TryFind<skinui::TabLayout>("tluDesktop")->GetCurSel(), 1);
  EXPECT_EQ(pm.TryFind<skinui::TabLayout>("tluKnowlege_Desktop")->GetCurSel(), 2);
  EXPECT_TRUE(pm.TryFind<skinui::Option>("knowlege_quickBar_downloding")->IsSelected());
  EXPECT_TRUE(pm.TryFind<skinui::Option>("quickBar_Knowlege")->IsSelected());
  EXPECT_EQ(routed.permissions, 1);

  // Asked again: nothing new, but the queue is shown and asked for again.
  pm.TryFind<skinui::TabLayout>("tluKnowlege_Desktop")->SelectItem(0);
  lists->ProcessUrlProtocol(link);
  ASSERT_TRUE(ui.loop.waitIdle(30000));
  EXPECT_EQ(lists->History().LoadDownloading(lists->KnowlegeDownloadFolder()).size(), 1u);
  EXPECT_EQ(pm.TryFind<skinui::TabLayout>("tluKnowlege_Desktop")->GetCurSel(), 2);
  EXPECT_EQ(routed.permissions, 2);

  // Requests of any other form are dropped: only their log line remains, cut short.
  ASSERT_TRUE(lists->History().RemoveDownloading(queued[0].FileName));
  const std::u16string id = platform::Utf8ToUtf16(document.downId);
  for (const std::u16string& request : std::vector<std::u16string>{
           u"ZELK://DOWNLOAD/DOWNID=" + id, u"zelk://download/../../downid=" + id,
           u"zelk://download", u"zelk://download/", u"zelk://open/downid=" + id,
           u"zelk://download/downid=999999", u"zelk://download/downid=" + id + u" <script>",
           u"zelk://download/downid=" + id + std::u16string(3 * 1024 * 1024, u'x')}) {
    lists->ProcessUrlProtocol(request);
  }
  ASSERT_TRUE(ui.loop.waitIdle(30000));
  EXPECT_TRUE(lists->History().LoadDownloading(lists->KnowlegeDownloadFolder()).empty());
  EXPECT_EQ(routed.permissions, 2);
  for (const std::u16string& line : host.logLines) EXPECT_LE(line.size(), 600u);
}

}  // namespace
}  // namespace knowledge
