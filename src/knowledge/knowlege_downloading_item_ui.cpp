#include "knowledge/knowlege_downloading_item_ui.h"

#include <utility>

#include "knowledge/share_buttons.h"
#include "knowledge/status_line.h"

namespace knowledge {
namespace {

constexpr char kTitle[] = "txtTitle";
constexpr char kStateInfo[] = "txtStateInfo";
constexpr char kExecute[] = "btnKnowlegeDownloading_Execute";
constexpr char kDelete[] = "btnKnowlegeDownloading_Delete";
constexpr char kProgress[] = "pgDownloadProgress";
constexpr char kProgressFore[] = "progress_fore.png";
constexpr char kProgressBack[] = "progress_back.png";
constexpr int kProgressMax = 100;

}  // namespace

CKnowlegeDownloadingItemUI::CKnowlegeDownloadingItemUI(const std::string& skinFolder,
                                                       const RowLog& log) {
  SetFixedHeight(kHeight);
  BuildRowLayout(*this, skinFolder, kLayout, log);
  title_ = FindRowControl<skinui::Label>(*this, kTitle, kLayout, log);
  stateInfo_ = FindRowControl<skinui::Label>(*this, kStateInfo, kLayout, log);
  execute_ = FindRowControl<skinui::Button>(*this, kExecute, kLayout, log);
  delete_ = FindRowControl<skinui::Button>(*this, kDelete, kLayout, log);
  progress_ = FindRowControl<skinui::Progress>(*this, kProgress, kLayout, log);
  const auto shareNames = ShareButtonNames(kSharePlace);
  for (std::size_t i = 0; i < share_.size(); ++i) {
    share_[i] = FindRowControl<skinui::Button>(*this, shareNames[i], kLayout, log);
  }
}

void CKnowlegeDownloadingItemUI::SetRecord(LibDownloadFileInfo record) {
  record_ = std::move(record);
  if (title_ != nullptr) title_->SetText(record_.LocalFileName);
  if (stateInfo_ != nullptr) stateInfo_->SetText(record_.DownloadStateInfo);
}

void CKnowlegeDownloadingItemUI::PlaceAt(int position) {
  NameForPosition(execute_, kExecute, "_", position);
  NameForPosition(delete_, kDelete, "_", position);
  NameForPosition(progress_, kProgress, "", position);
  for (std::size_t i = 0; i < share_.size(); ++i) {
    if (share_[i] == nullptr) continue;
    SetUpShareButton(*share_[i], false, static_cast<net::ShareTarget>(i + 1),
                     SharePlace::KnowlegeDownloading, position);
  }
}

void CKnowlegeDownloadingItemUI::SetState(DownloadState state) {
  record_.State = state;
  if (delete_ != nullptr) delete_->SetText(u"删除");
  const char16_t* executeText = nullptr;
  const char16_t* statusLine = nullptr;
  switch (state) {
    case DownloadState::Downloading:
      executeText = u"暂停";
      statusLine = u"下载状态:下载中...";
      break;
    case DownloadState::DownloadWaiting:
      executeText = u"暂停";
      statusLine = u"下载状态:等待下载";
      break;
    case DownloadState::Pause:
      executeText = u"开始";
      statusLine = u"下载状态:暂停下载";
      break;
    case DownloadState::DownloadError:
      statusLine = u"下载状态:下载失败";
      break;
    default:
      break;
  }
  if (executeText != nullptr && execute_ != nullptr) execute_->SetText(executeText);
  if (statusLine != nullptr) SetStatusLine(statusLine);
}

void CKnowlegeDownloadingItemUI::SetStatusLine(std::u16string line) {
  record_.DownloadStateInfo = std::move(line);
  if (stateInfo_ != nullptr) stateInfo_->SetText(record_.DownloadStateInfo);
}

void CKnowlegeDownloadingItemUI::ResetProgressBar() {
  if (progress_ == nullptr) return;
  progress_->SetForeImage(kProgressFore);
  progress_->SetBkImage(kProgressBack);
  progress_->SetMaxValue(kProgressMax);
  progress_->SetValue(0);
  progress_->SetVisible(true);
}

void CKnowlegeDownloadingItemUI::UpdateStatus(std::int32_t total, std::int32_t done) {
  const StatusLineUpdate update = knowledge::UpdateStatus(total, done, lastDone_);
  if (update.progressValue && progress_ != nullptr) progress_->SetValue(*update.progressValue);
  lastDone_ = update.lastDone;
  if (update.status) SetStatusLine(*update.status);
}

}  // namespace knowledge
