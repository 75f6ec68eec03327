// The knowledge search on a fake main window: what a search sends and shows, the order of its
// worker's messages, the numbering of a later page and the result rows' download buttons.

#include "knowledge/knowledge_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/window_messages.h"
#include "core/window_payloads.h"
#include "knowledge/knowledge_lists.h"
#include "knowledge/knowlege_result_item_ui.h"
#include "knowledge_lists_routing.h"
#include "platform/code_page.h"
#include "skinui/button.h"
#include "skinui/combo.h"
#include "skinui/list.h"
#include "skinui/paint_manager.h"
#include "skinui/tab_layout.h"
#include "skinui/text.h"
#include "skinui/window.h"
#include "support/fake_feature_host.h"
#include "support/temp_dir.h"
#include "zelk_lib_stand_in.h"

namespace knowledge {
namespace {

using knowledge_testing::StandIn;

// A reply of ten results of page `page`; result i lies in file "f<i>.pdf".
std::u16string PageReply(int page) {
  std::u16string list;
  for (int i = 0; i < 10; ++i) {
    const std::string n = std::to_string(i);
    list += std::u16string(i > 0 ? u"," : u"") + u"{\"title\":\"混凝土结构规范" +
            platform::Utf8ToUtf16(n) + u"\",\"info\":\"GB 混凝土&nbsp;结构\",\"filename\":\"f" +
            platform::Utf8ToUtf16(n) + u".pdf\",\"downid\":\"" + platform::Utf8ToUtf16(n) +
            u"\",\"type\":1}";
  }
  return u"{\"result\":1,\"pagenum\":" + platform::Utf8ToUtf16(std::to_string(page)) +
         u",\"total\":25,\"keys\":\"混凝土,混凝土结构\",\"list\":[" + list + u"]}";
}

class KnowledgeSearchTest : public ::testing::Test {
 protected:
  KnowledgeSearchTest() {
    platform::SetAnsiCodesetOverride("UTF-8");
    SetReply(u"", false);
    StandIn().internetReachable = true;
    search.SetDownloadHistory(&lists->History());
    FillTypes();
    host.SetMessageHandler(
        [this](std::uint32_t message, platform::Payload& payload) { Route(message, payload); });
  }
  ~KnowledgeSearchTest() override { platform::SetAnsiCodesetOverride(""); }

  void FillTypes() { search.FillKnowlegeSearchTypes(); }
  static void SetReply(const std::u16string& reply, bool fails) {
    std::lock_guard lock(StandIn().webMutex);
    StandIn().webReply = reply;
    StandIn().webFails = fails;
    StandIn().requestedUrls.clear();
  }
  static std::vector<std::u16string> Requested() {
    std::lock_guard lock(StandIn().webMutex);
    return StandIn().requestedUrls;
  }

  // As the main frame handles the worker's messages.
  void Route(std::uint32_t message, platform::Payload& payload) {
    messages.push_back(message);
    if (auto* item = payload.get<core::ListItemPayload>()) {
      skinui::Control* row = Find<skinui::List>(item->listName)->Add(std::move(item->item));
      search.CheckKnowlegeResultRow(*row);
    } else if (auto* pager = payload.get<core::ViewPagerPayload>()) {
      EXPECT_EQ(pager->view, &search.View());
      pager->view->RefreshPageIndexButtons(pager->page, pager->pageCount, pager->total);
    } else if (auto* enable = payload.get<core::ViewEnablePayload>()) {
      enabled.push_back(enable->enable);
    } else if (auto* empty = payload.get<core::ListEmptyImagePayload>()) {
      networkFailures.push_back(empty->networkFailure);
    }
  }

  template <class T>
  T* Find(const std::string& name) {
    return host.OwnerWindow().GetPaintManager().TryFind<T>(name);
  }
  void Settle() { ASSERT_TRUE(ui.loop.waitIdle(30000)); }
  std::u16string TitleOf(int row) {
    return dynamic_cast<skinui::Text*>(Find<skinui::List>("lstKnowlegeSearchResult")
                                           ->GetItemAt(row)
                                           ->FindByName("txtTitle"))
        ->GetText();
  }

  testing_support::TempDir dir;
  core::ZelkLibBinding lib = knowledge_testing::MakeStandInBinding();
  testing_support::HeadlessUi ui;
  testing_support::FakeFeatureHost host{ui.context, lib, dir.path(),
                                        knowledge_testing::kDownloadListsLayout};
  std::unique_ptr<KnowledgeLists> lists = std::make_unique<KnowledgeLists>(host);
  KnowledgeSearch search{host};
  std::vector<std::uint32_t> messages;
  std::vector<bool> enabled;
  std::vector<bool> networkFailures;
};

TEST_F(KnowledgeSearchTest, AnEmptyKeywordAsksForOneAndSendsNothing) {
  search.StartKnowlegeSearch();
  Settle();
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0].text, u"请输入要查找的内容");
  EXPECT_EQ(host.messageBoxes[0].height, 160);
  EXPECT_EQ(Find<skinui::TabLayout>("tluKnowlege_Desktop")->GetCurSel(), 0);
  // Only the click's report went out.
  for (const std::u16string& url : Requested()) {
    EXPECT_EQ(url.find(u"SearchEngine.aspx"), std::u16string::npos);
  }
}

TEST_F(KnowledgeSearchTest, ASearchFromHomeShowsNumberedMarkedRowsThenPageThreeGoesOn) {
  LibDownloadFileInfo queued;
  queued.FileName = u"f2.pdf";
  queued.LocalFileName = u"f2.pdf";
  ASSERT_TRUE(lists->History().AddDownloading(queued));
  Find<skinui::Combo>("cmbKnowlegeSearchType")->SelectItem(3, false);
  Find<skinui::Control>("txtKnowlegeSearchKeyword")->SetText(u"混凝土");
  SetReply(PageReply(1), false);
  search.StartKnowlegeSearch();
  Settle();

  // The result page took over the search's type and keyword.
  EXPECT_EQ(Find<skinui::TabLayout>("tluKnowlege_Desktop")->GetCurSel(), 1);
  EXPECT_TRUE(search.View().resultPageShown);
  auto* resultType = Find<skinui::Combo>("cmbKnowlegeSearchResultSearchType");
  EXPECT_TRUE(resultType->IsVisible());
  EXPECT_EQ(resultType->GetCurSel(), 3);
  EXPECT_EQ(Find<skinui::Control>("txtKnowlegeSearchResultKeyword")->GetText(), u"混凝土");
  const std::vector<std::u16string> urls = Requested();
  EXPECT_EQ(std::count_if(urls.begin(), urls.end(),
                          [](const std::u16string& url) {
                            return url.ends_with(
                                u"zelk/SearchEngine.aspx?api=vqd_soft_list&"
                                u"typeId=5&p=1&q=混凝土&count=10");
                          }),
            1);
  // The search is reported too.
  EXPECT_EQ(std::count_if(urls.begin(), urls.end(),
                          [](const std::u16string& url) {
                            return url.find(u"behaviorName=KnowlegeSearch&behaviorKind=2") !=
                                   std::u16string::npos;
                          }),
            1);

  std::vector<std::uint32_t> expected = {core::WM_VIEW_ENABLE, core::WM_LIST_SHOW_LOADING};
  expected.insert(expected.end(), 10, core::WM_LIST_ADD_ITEM);
  expected.insert(expected.end(), {core::WM_VIEW_SET_PAGER, core::WM_LIST_SHOW_LOADING,
                                   core::WM_VIEW_ENABLE, core::WM_LIST_EMPTY_IMAGE});
  EXPECT_EQ(messages, expected);
  EXPECT_EQ(enabled, (std::vector<bool>{false, true}));
  EXPECT_EQ(networkFailures, std::vector<bool>{false});

  auto* list = Find<skinui::List>("lstKnowlegeSearchResult");
  ASSERT_EQ(list->GetCount(), 10);
  EXPECT_EQ(TitleOf(0), u"1.<c #FF0000>混凝土结构</c>规范0");
  auto* row = dynamic_cast<CKnowlegeResultItemUI*>(list->GetItemAt(0));
  EXPECT_EQ(dynamic_cast<skinui::Text*>(row->FindByName("txtDesc"))->GetText(),
            u"gb<c #FF0000>混凝土</c>&结构");
  EXPECT_EQ(row->Result().title, u"混凝土结构规范0");
  EXPECT_EQ(row->Result().downloadId, u"0");
  // Every name the row looks up is in the shipped layout.
  EXPECT_EQ(host.logLines, std::vector<std::u16string>{});
  // Only the queued file's button is disabled.
  for (int i = 0; i < 10; ++i) {
    auto* button = list->GetItemAt(i)->FindByName("btnKnowlegeItemDownload_" + std::to_string(i));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->IsEnabled(), i != 2) << i;
  }
  EXPECT_EQ(search.View().GetPageCount(), 3);

  // Page 3 of the same search from the pager: 21. to 30.
  messages.clear();
  SetReply(PageReply(3), false);
  search.OnKnowlegePagerClick("ouKnowlege_PageIndex_3");
  Settle();
  EXPECT_EQ(search.CurrentPage(), 3);
  ASSERT_EQ(list->GetCount(), 10);
  EXPECT_EQ(TitleOf(0), u"21.<c #FF0000>混凝土结构</c>规范0");
  EXPECT_EQ(TitleOf(9), u"30.<c #FF0000>混凝土结构</c>规范9");
  EXPECT_TRUE(Requested()[0].ends_with(u"typeId=5&p=3&q=混凝土&count=10"));
  // Next stops at the last page; Prev goes back one.
  search.OnKnowlegePagerClick("ouKnowlege_Next");
  EXPECT_EQ(search.CurrentPage(), 3);
  search.OnKnowlegePagerClick("ouKnowlege_Prev");
  EXPECT_EQ(search.CurrentPage(), 2);
  Settle();
}

TEST_F(KnowledgeSearchTest, NoReplyOrARefusalLeavesTheListEmptyWithItsReason) {
  Find<skinui::TabLayout>("tluKnowlege_Desktop")->SelectItem(1);
  Find<skinui::Control>("txtKnowlegeSearchResultKeyword")->SetText(u"规范");
  SetReply(u"", true);
  StandIn().internetReachable = false;
  search.Search(0);
  Settle();
  EXPECT_EQ(Find<skinui::List>("lstKnowlegeSearchResult")->GetCount(), 0);
  EXPECT_EQ(networkFailures, std::vector<bool>{true});
  EXPECT_EQ(std::count(messages.begin(), messages.end(), core::WM_NETWORK_ERROR), 1);
  EXPECT_EQ(std::count(messages.begin(), messages.end(), core::WM_VIEW_SET_PAGER), 0);
  EXPECT_EQ(search.CurrentPage(), 1);

  messages.clear();
  networkFailures.clear();
  SetReply(u"{\"result\":2,\"list\":[{\"title\":\"x\"}]}", false);
  search.Search(1);
  Settle();
  EXPECT_EQ(Find<skinui::List>("lstKnowlegeSearchResult")->GetCount(), 0);
  EXPECT_EQ(networkFailures, std::vector<bool>{false});
  EXPECT_EQ(std::count(messages.begin(), messages.end(), core::WM_VIEW_SET_PAGER), 0);
  EXPECT_EQ(enabled.back(), true);
}

}  // namespace
}  // namespace knowledge
