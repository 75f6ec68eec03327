#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/feature_host.h"
#include "knowledge/download_history_store.h"
#include "knowledge/knowlege_view.h"
#include "skinui/control.h"

namespace knowledge {

// The knowledge tab's search: its search-type boxes, keyword searches with their pages of
// results, the result rows and the help pages of the search. Owned by the main frame, which
// calls these operations from its start-up steps, dispatch tables and message handlers.
class KnowledgeSearch {
 public:
  static constexpr char kResultList[] = "lstKnowlegeSearchResult";

  explicit KnowledgeSearch(core::FeatureHost& host) : host_(host), view_(&host.OwnerWindow()) {}
  virtual ~KnowledgeSearch() = default;
  KnowledgeSearch(const KnowledgeSearch&) = delete;
  KnowledgeSearch& operator=(const KnowledgeSearch&) = delete;

  CKnowlegeView& View() { return view_; }
  // The download history the result rows are checked against (the download lists' own).
  void SetDownloadHistory(DownloadHistoryStore* history) { history_ = history; }

  // Fills both search-type boxes with the four types and selects the first.
  virtual void FillKnowlegeSearchTypes();
  virtual void DoRefreshKnowlegePageIndexButtons();
  virtual void DoResizeKnowlegeSearchArea();
  // A click on a search button (or Enter in a keyword box): the first page of the keyword,
  // reported to the service.
  virtual void StartKnowlegeSearch();
  virtual void OnKnowlegePagerClick(const std::string& name);
  // Back to the search home of the knowledge tab.
  virtual void ShowKnowlegeSearchHome();
  // Opens the search's help page at the anchor ("#0" keywords, "#1" addresses, "#2" downloads).
  virtual void OpenKnowlegeHelp(std::u16string_view anchor);
  // A result row has been added: its download button is enabled only when the file is neither
  // queued nor finished and still on disk.
  virtual void CheckKnowlegeResultRow(skinui::Control& row);

  // Searches the keyword of the shown page (search home or results) for that page of results
  // (0 counts as 1): the rows come from a worker.
  void Search(std::int32_t page);
  std::int32_t CurrentPage() const { return currentPage_; }

 protected:
  core::FeatureHost& host_;

 private:
  CKnowlegeView view_;
  DownloadHistoryStore* history_ = nullptr;
  std::int32_t currentPage_ = 1;
};

}  // namespace knowledge
