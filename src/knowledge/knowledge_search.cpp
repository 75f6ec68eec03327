#include "knowledge/knowledge_search.h"

#include <array>
#include <memory>

#include "net/service_requests.h"
#include "skinui/combo.h"
#include "skinui/list_label_element.h"
#include "skinui/tab_layout.h"

namespace knowledge {
namespace {

// The four search types of the knowledge library, in the order of their type ids.
constexpr std::array<std::u16string_view, 4> kSearchTypes = {u"全部", u"规范", u"图集", u"资料"};

}  // namespace

void KnowledgeSearch::FillKnowlegeSearchTypes() {
  for (const char* name : {"cmbKnowlegeSearchType", "cmbKnowlegeSearchResultSearchType"}) {
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

void KnowledgeSearch::ShowKnowlegeSearchHome() {
  if (auto* desktop = host_.Find<skinui::TabLayout>("tluKnowlege_Desktop")) desktop->SelectItem(0);
}

void KnowledgeSearch::OpenKnowlegeHelp(std::u16string_view anchor) {
  const std::u16string page = net::BuildServiceUrl(host_.Binding(), u"help/help_3.htm");
  if (!page.empty()) host_.ShellOpen(page + std::u16string(anchor));
}

// The search itself, its pages and the check of its rows come with the knowledge search.
void KnowledgeSearch::DoResizeKnowlegeSearchArea() {}
void KnowledgeSearch::StartKnowlegeSearch() {}
void KnowledgeSearch::OnKnowlegePagerClick(const std::string&) {}
void KnowledgeSearch::CheckKnowlegeResultRow(skinui::Control&) {}

}  // namespace knowledge
