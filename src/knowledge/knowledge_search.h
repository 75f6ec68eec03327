#pragma once

#include <string>
#include <string_view>

#include "core/feature_host.h"
#include "knowledge/knowlege_view.h"
#include "skinui/control.h"

namespace knowledge {

// The knowledge tab's search: its search-type boxes, keyword searches with their pages of
// results, the result rows and the help pages of the search. Owned by the main frame, which
// calls these operations from its start-up steps, dispatch tables and message handlers.
// Operations whose parts are not built yet do nothing.
class KnowledgeSearch {
 public:
  explicit KnowledgeSearch(core::FeatureHost& host) : host_(host), view_(&host.OwnerWindow()) {}
  virtual ~KnowledgeSearch() = default;
  KnowledgeSearch(const KnowledgeSearch&) = delete;
  KnowledgeSearch& operator=(const KnowledgeSearch&) = delete;

  CKnowlegeView& View() { return view_; }

  // Fills both search-type boxes with the four types and selects the first.
  virtual void FillKnowlegeSearchTypes();
  virtual void DoRefreshKnowlegePageIndexButtons();
  virtual void DoResizeKnowlegeSearchArea();
  virtual void StartKnowlegeSearch();
  virtual void OnKnowlegePagerClick(const std::string& name);
  // Back to the search home of the knowledge tab.
  virtual void ShowKnowlegeSearchHome();
  // Opens the search's help page at the anchor ("#0" keywords, "#1" addresses, "#2" downloads).
  virtual void OpenKnowlegeHelp(std::u16string_view anchor);
  // A result row has been added: it is checked against the running and finished downloads.
  virtual void CheckKnowlegeResultRow(skinui::Control& row);

 protected:
  core::FeatureHost& host_;

 private:
  CKnowlegeView view_;
};

}  // namespace knowledge
