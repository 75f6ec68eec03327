#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "knowledge/download_record.h"
#include "knowledge/download_row_layout.h"
#include "skinui/button.h"
#include "skinui/label.h"
#include "skinui/list_container_element.h"
#include "skinui/progress.h"

namespace knowledge {

// A row of the download queue "lstKnowlegeDownloading": one queued record with its title,
// status line, progress bar, pause-or-resume and delete buttons and share buttons, and the
// bytes done at the previous progress message. The status line is the record's
// DownloadStateInfo, so that a pause stores what the row showed.
class CKnowlegeDownloadingItemUI : public skinui::ListContainerElement {
 public:
  static constexpr char kLayout[] = "KnowlegeDownloadingItem.xml";
  static constexpr int kHeight = 80;
  static constexpr char kSharePlace[] = "KnowlegeDownloading";

  // Builds the row's controls from the layout of the skin folder. A missing layout or
  // sub-control is logged; the row then works without that part.
  CKnowlegeDownloadingItemUI(const std::string& skinFolder, const RowLog& log);

  const LibDownloadFileInfo& Record() const { return record_; }
  // The title shows the record's LocalFileName, the status line its DownloadStateInfo.
  void SetRecord(LibDownloadFileInfo record);
  // Gives the buttons and the progress bar the names of position n of the list.
  void PlaceAt(int position);

  // The state with its texts: the delete button reads "删除"; the pause-or-resume button and
  // the status line follow the state (paused rows offer "开始").
  void SetState(DownloadState state);
  void SetStatusLine(std::u16string line);
  // The bar of a transfer that starts: shown, its two pictures, maximum 100, value 0.
  void ResetProgressBar();
  // A progress message of the transfer: the bar's value, lastDone and (when bytes came in)
  // the status line with size, percentage, speed and the time left.
  void UpdateStatus(std::int32_t total, std::int32_t done);
  std::int32_t LastDone() const { return lastDone_; }

 private:
  LibDownloadFileInfo record_;
  std::int32_t lastDone_ = 0;
  skinui::Label* title_ = nullptr;
  skinui::Label* stateInfo_ = nullptr;
  skinui::Button* execute_ = nullptr;
  skinui::Button* delete_ = nullptr;
  skinui::Progress* progress_ = nullptr;
  std::array<skinui::Button*, 5> share_{};
};

}  // namespace knowledge
