#include "knowledge/knowlege_downloaded_item_ui.h"

#include <utility>

#include "knowledge/share_buttons.h"

namespace knowledge {
namespace {

constexpr char kTitle[] = "txtTitle";
constexpr char kOpen[] = "btnKnowlegeDownloaded_Open";
constexpr char kDelete[] = "btnKnowlegeDownloaded_Delete";

}  // namespace

CKnowlegeDownloadedItemUI::CKnowlegeDownloadedItemUI(const std::string& skinFolder,
                                                     const RowLog& log) {
  SetFixedHeight(kHeight);
  BuildRowLayout(*this, skinFolder, kLayout, log);
  title_ = FindRowControl<skinui::Label>(*this, kTitle, kLayout, log);
  open_ = FindRowControl<skinui::Button>(*this, kOpen, kLayout, log);
  delete_ = FindRowControl<skinui::Button>(*this, kDelete, kLayout, log);
  const auto shareNames = ShareButtonNames(kSharePlace);
  for (std::size_t i = 0; i < share_.size(); ++i) {
    share_[i] = FindRowControl<skinui::Button>(*this, shareNames[i], kLayout, log);
  }
}

void CKnowlegeDownloadedItemUI::SetRecord(LibDownloadFileInfo record) {
  record_ = std::move(record);
  if (title_ != nullptr) title_->SetText(record_.LocalFileName);
}

void CKnowlegeDownloadedItemUI::PlaceAt(int position) {
  NameForPosition(open_, kOpen, "_", position);
  NameForPosition(delete_, kDelete, "_", position);
  for (std::size_t i = 0; i < share_.size(); ++i) {
    if (share_[i] == nullptr) continue;
    SetUpShareButton(*share_[i], false, static_cast<net::ShareTarget>(i + 1),
                     SharePlace::KnowlegeDownloaded, position);
  }
}

}  // namespace knowledge
