#include "knowledge/knowledge_search.h"

#include <array>
#include <charconv>
#include <memory>

#include "knowledge/knowlege_result_item_ui.h"
#include "knowledge/knowlege_search_worker.h"
#include "knowledge/search_result_text.h"
#include "net/endpoints.h"
#include "net/service_requests.h"
#include "net/usage_report.h"
#include "skinui/button.h"
#include "skinui/combo.h"
#include "skinui/edit.h"
#include "skinui/list.h"
#include "skinui/list_label_element.h"
#include "skinui/tab_layout.h"
#include "skinui/ui_context.h"
#include "skinui/window.h"

namespace knowledge {
namespace {

// The four search types of the knowledge library, in the order of their type ids.
constexpr std::array<std::u16string_view, 4> kSearchTypes = {u"全部", u"规范", u"图集", u"资料"};

constexpr char kDesktop[] = "tluKnowlege_Desktop";
constexpr char kPagerPrefix[] = "ouKnowlege_";
constexpr char kPageIndexPrefix[] = "ouKnowlege_PageIndex_";
constexpr char16_t kEmptyKeywordText[] = u"请输入要查找的内容";

// The controls of one page of the tab that can start a search.
struct SearchControls {
  const char* typeBox;
  const char* keywordBox;
};
constexpr SearchControls kHomeControls = {"cmbKnowlegeSearchType", "txtKnowlegeSearchKeyword"};
constexpr SearchControls kResultControls = {"cmbKnowlegeSearchResultSearchType",
                                            "txtKnowlegeSearchResultKeyword"};

}  // namespace

void KnowledgeSearch::FillKnowlegeSearchTypes() {
  for (const char* name : {kHomeControls.typeBox, kResultControls.typeBox}) {
    auto* combo = host_.Find<skinui::Combo>(name);
    if (combo == nullptr || combo->GetCount() > 0) continue;
    for (const std::u16string_view type : kSearchTypes) {
      auto item = std::make_unique<skinui::ListLabelElement>();
      item->SetText(std::u16string(type));
      combo->Add(std::move(item));
    }
    combo->SelectItem(0, false);
  }
}

void KnowledgeSearch::DoRefreshKnowlegePageIndexButtons() {
  view_.RefreshPage();
}

// The search home centres itself with the flexible spacers of the layout; the pager under the
// results, which depends on the window's width, is laid out by the page buttons' refresh.
void KnowledgeSearch::DoResizeKnowlegeSearchArea() {}

void KnowledgeSearch::ShowKnowlegeSearchHome() {
  if (auto* desktop = host_.Find<skinui::TabLayout>(kDesktop)) desktop->SelectItem(0);
}

void KnowledgeSearch::OpenKnowlegeHelp(std::u16string_view anchor) {
  const std::u16string page = net::BuildServiceUrl(host_.Binding(), u"help/help_3.htm");
  if (!page.empty()) host_.ShellOpen(page + std::u16string(anchor));
}

void KnowledgeSearch::StartKnowlegeSearch() {
  currentPage_ = 1;
  Search(currentPage_);
  net::ReportUserBehavior(host_.Service(), u"KnowlegeSearch", net::BehaviorKind::Knowledge);
}

void KnowledgeSearch::OnKnowlegePagerClick(const std::string& name) {
  if (!name.starts_with(kPagerPrefix)) return;
  if (name == "ouKnowlege_Prev") {
    if (currentPage_ > 1) --currentPage_;
  } else if (name == "ouKnowlege_Next") {
    if (currentPage_ < view_.GetPageCount()) ++currentPage_;
  } else if (name.starts_with(kPageIndexPrefix)) {
    const std::string_view digits = std::string_view(name).substr(sizeof kPageIndexPrefix - 1);
    std::int32_t page = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), page);
    if (error != std::errc() || end != digits.data() + digits.size() || page < 1) return;
    currentPage_ = page;
  } else {
    return;
  }
  Search(currentPage_);
}

void KnowledgeSearch::Search(std::int32_t page) {
  currentPage_ = page <= 0 ? 1 : page;
  auto* desktop = host_.Find<skinui::TabLayout>(kDesktop);
  if (desktop == nullptr) return;
  const int shown = desktop->GetCurSel();
  if (shown != 0 && shown != 1) return;
  const bool fromHome = shown == 0;
  const SearchControls& controls = fromHome ? kHomeControls : kResultControls;
  auto* typeBox = host_.Find<skinui::Combo>(controls.typeBox);
  auto* keywordBox = host_.Find<skinui::Control>(controls.keywordBox);
  auto* list = host_.Find<skinui::List>(kResultList);
  if (typeBox == nullptr || keywordBox == nullptr || list == nullptr) return;

  const std::u16string keyword = keywordBox->GetText();
  if (keyword.empty()) {
    host_.ShowMessageBox(2, 0, kEmptyKeywordText, 160, false);
    return;
  }
  const std::int32_t typeId = SearchTypeId(typeBox->GetCurSel());
  if (fromHome) {
    if (auto* resultType = host_.Find<skinui::Combo>(kResultControls.typeBox)) {
      if (!resultType->IsVisible()) resultType->SetVisible(true);
      resultType->SelectItem(typeBox->GetCurSel(), false);
    }
    if (auto* resultKeyword = host_.Find<skinui::Control>(kResultControls.keywordBox)) {
      resultKeyword->SetText(keyword);
    }
  }

  const std::optional<std::u16string> url = net::ServiceRequestUrl(
      host_.Binding(), net::endpoints::kKnowledgeSearch, {typeId, currentPage_, keyword});
  list->RemoveAll();
  if (url) {
    KnowlegeSearchRequest request{
        host_.Service(), &view_, currentPage_,
        kResultList,     *url,   host_.OwnerWindow().GetContext().ResourcePath()};
    host_.Service().loop->startWorker(
        [request = std::move(request)] { RunKnowlegeSearch(request); });
  }
  if (fromHome) {
    view_.resultPageShown = true;
    desktop->SelectItem(1);
  }
}

void KnowledgeSearch::CheckKnowlegeResultRow(skinui::Control& row) {
  auto* result = dynamic_cast<CKnowlegeResultItemUI*>(&row);
  if (result == nullptr || result->DownloadButton() == nullptr) return;
  const std::u16string& fileName = result->Result().fileName;
  const bool known = history_ != nullptr && (history_->IsDownloading(fileName) ||
                                             history_->IsFinishedAndPresent(fileName));
  result->DownloadButton()->SetEnabled(!known);
}

}  // namespace knowledge
