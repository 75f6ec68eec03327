#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "knowledge/download_row_layout.h"
#include "skinui/button.h"
#include "skinui/list_container_element.h"
#include "skinui/text.h"

namespace knowledge {

// One result of a knowledge search as the service lists it.
struct KnowlegeSearchResult {
  std::u16string title;  // plain: the local file name is made from it
  std::u16string info;
  std::u16string fileName;
  std::u16string downloadId;
  std::int32_t type = 0;
};

// A row of "lstKnowlegeSearchResult": the numbered title and the description with the search
// keys marked, and the download button named after the row's position on the page. Built and
// filled on the search worker, before the window owns it.
class CKnowlegeResultItemUI : public skinui::ListContainerElement {
 public:
  static constexpr char kLayout[] = "KnowlegeSearchResultItemUI.xml";
  static constexpr int kHeight = 80;
  static constexpr char kDownloadButtonPrefix[] = "btnKnowlegeItemDownload_";

  // Builds the row's controls from the layout of the skin folder. A missing layout or
  // sub-control is logged; the row then works without that part.
  CKnowlegeResultItemUI(const std::string& skinFolder, const RowLog& log);

  // Cleans and cuts the description, marks the keys in it and in the numbered title, and
  // names the download button "btnKnowlegeItemDownload_" + indexOnPage.
  void Initialize(KnowlegeSearchResult result, const std::u16string& numberedTitle,
                  std::vector<std::u16string> keys, int indexOnPage);

  const KnowlegeSearchResult& Result() const { return result_; }
  const std::string& ButtonName() const { return buttonName_; }
  const std::vector<std::u16string>& Keys() const { return keys_; }
  skinui::Button* DownloadButton() { return download_; }

 private:
  KnowlegeSearchResult result_;
  std::string buttonName_;
  std::vector<std::u16string> keys_;
  skinui::Text* title_ = nullptr;
  skinui::Text* desc_ = nullptr;
  skinui::Button* download_ = nullptr;
};

}  // namespace knowledge
