#pragma once

#include <array>
#include <string>

#include "knowledge/download_record.h"
#include "knowledge/download_row_layout.h"
#include "skinui/button.h"
#include "skinui/label.h"
#include "skinui/list_container_element.h"

namespace knowledge {

// A row of the finished list "lstKnowlegeDownloaded": one finished record with its title, the
// open and delete buttons and the share buttons.
class CKnowlegeDownloadedItemUI : public skinui::ListContainerElement {
 public:
  static constexpr char kLayout[] = "KnowlegeDownloadedItem.xml";
  static constexpr int kHeight = 80;  // the queue's rows' height: both lists look alike
  static constexpr char kSharePlace[] = "KnowlegeDownloaded";

  // Builds the row's controls from the layout of the skin folder. A missing layout or
  // sub-control is logged; the row then works without that part.
  CKnowlegeDownloadedItemUI(const std::string& skinFolder, const RowLog& log);

  const LibDownloadFileInfo& Record() const { return record_; }
  // The title shows the record's LocalFileName.
  void SetRecord(LibDownloadFileInfo record);
  // Gives the buttons the names of position n of the list.
  void PlaceAt(int position);

 private:
  LibDownloadFileInfo record_;
  skinui::Label* title_ = nullptr;
  skinui::Button* open_ = nullptr;
  skinui::Button* delete_ = nullptr;
  std::array<skinui::Button*, 5> share_{};
};

}  // namespace knowledge
