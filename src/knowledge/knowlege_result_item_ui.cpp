#include "knowledge/knowlege_result_item_ui.h"

#include <utility>

#include "knowledge/search_result_text.h"

namespace knowledge {
namespace {

constexpr char kTitle[] = "txtTitle";
constexpr char kDesc[] = "txtDesc";
constexpr char kDownload[] = "btnKnowlegeItemDownload";

}  // namespace

CKnowlegeResultItemUI::CKnowlegeResultItemUI(const std::string& skinFolder, const RowLog& log) {
  SetFixedHeight(kHeight);
  BuildRowLayout(*this, skinFolder, kLayout, log);
  title_ = FindRowControl<skinui::Text>(*this, kTitle, kLayout, log);
  desc_ = FindRowControl<skinui::Text>(*this, kDesc, kLayout, log);
  download_ = FindRowControl<skinui::Button>(*this, kDownload, kLayout, log);
}

void CKnowlegeResultItemUI::Initialize(KnowlegeSearchResult result,
                                       const std::u16string& numberedTitle,
                                       std::vector<std::u16string> keys, int indexOnPage) {
  result_ = std::move(result);
  keys_ = std::move(keys);
  std::u16string description = CleanResultDescription(PlainServiceText(result_.info));
  std::u16string title = PlainServiceText(numberedTitle);
  if (!description.empty() && !keys_.empty()) description = HighlightKeys(description, keys_);
  if (!title.empty() && !keys_.empty()) title = HighlightKeys(title, keys_);
  if (title_ != nullptr) title_->SetText(title);
  if (desc_ != nullptr) desc_->SetText(description);
  buttonName_ = kDownloadButtonPrefix + std::to_string(indexOnPage);
  if (download_ != nullptr) download_->SetName(buttonName_);
}

}  // namespace knowledge
