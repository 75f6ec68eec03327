#include "appcenter/app_market_download_mng_item_ui.h"

#include <exception>
#include <filesystem>

#include "appcenter/app_market_item_data.h"
#include "appcenter/app_progress_text.h"
#include "platform/paths.h"

namespace appcenter {
namespace {

constexpr char kTitle[] = "txtTitle";
constexpr char kButton[] = "btnAppMarketDownloadMngItem_";
constexpr char kImage[] = "hluImage";
constexpr char kProgress[] = "pgDownloadProgress";
constexpr char kStateInfo[] = "txtStateInfo";

}  // namespace

CAppMarketDownloadMngItemUI::CAppMarketDownloadMngItemUI(const std::string& skinFolder,
                                                         std::string appDirectory,
                                                         const knowledge::RowLog& log)
    : appDirectory_(std::move(appDirectory)) {
  knowledge::BuildRowLayout(*this, skinFolder, kLayout, log);
  SetFixedHeight(kHeight);
  SetAttribute("width", "0");
  title_ = knowledge::FindRowControl<skinui::Label>(*this, kTitle, kLayout, log);
  button_ = knowledge::FindRowControl<skinui::Button>(*this, kButton, kLayout, log);
  image_ = knowledge::FindRowControl<skinui::Container>(*this, kImage, kLayout, log);
  progress_ = knowledge::FindRowControl<skinui::Progress>(*this, kProgress, kLayout, log);
  stateInfo_ = knowledge::FindRowControl<skinui::Label>(*this, kStateInfo, kLayout, log);
}

void CAppMarketDownloadMngItemUI::SetData(std::u16string appName, std::u16string displayName,
                                          std::u16string iconName,
                                          std::u16string installPackageName) {
  appName_ = std::move(appName);
  displayName_ = std::move(displayName);
  iconName_ = std::move(iconName);
  installPackageName_ = std::move(installPackageName);
  if (title_ != nullptr) title_->SetText(displayName_);
  if (stateInfo_ != nullptr) stateInfo_->SetText(u"");
  ShowProgress(false);
}

void CAppMarketDownloadMngItemUI::SetState(AppMarketItemState state) {
  state_ = state;
  if (button_ == nullptr) return;
  const StateButtonLook look = ManagerButtonLook(state);
  button_->SetText(look.text);
  button_->SetNormalImage(look.normalImage);
  button_->SetHotImage(look.hotImage);
  button_->SetPushedImage(look.pushedImage);
  button_->SetEnabled(true);
}

void CAppMarketDownloadMngItemUI::SetStateText(const std::u16string& text) {
  if (stateInfo_ != nullptr && stateInfo_->IsVisible()) stateInfo_->SetText(text);
}

void CAppMarketDownloadMngItemUI::ShowProgress(bool visible) {
  if (progress_ == nullptr) return;
  progress_->SetForeImage("progress_fore.png");
  progress_->SetMaxValue(100);
  progress_->SetValue(0);
  progress_->SetVisible(visible);
}

void CAppMarketDownloadMngItemUI::HideButton() {
  if (button_ != nullptr) button_->SetVisible(false);
}

void CAppMarketDownloadMngItemUI::LoadIcon() {
  if (image_ == nullptr) return;
  const std::string app = SafeFileName(appName_);
  const std::string icon = SafeFileName(iconName_);
  std::string path;
  if (!app.empty() && !icon.empty()) {
    path = platform::JoinPath(platform::JoinPath(platform::JoinPath(appDirectory_, "Modules"), app),
                              icon);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  }
  std::error_code error;
  try {
    image_->SetBkImage(
        !path.empty() && std::filesystem::is_regular_file(path, error) ? path : "webdefault.png");
  } catch (const std::exception&) {
    image_->SetBkImage("webdefault.png");
  }
}

void CAppMarketDownloadMngItemUI::OnStarted() {
  SetState(AppMarketItemState::Downloading);
  SetStateText(u"下载准备中...");
  ShowProgress(true);
}

void CAppMarketDownloadMngItemUI::OnProgress(std::int32_t total, std::int32_t done) {
  const AppProgressUpdate update = ManagerProgress(total, done, lastDone_);
  if (update.progressValue && progress_ != nullptr) progress_->SetValue(*update.progressValue);
  if (update.text) SetStateText(*update.text);
  lastDone_ = update.lastDone;
}

}  // namespace appcenter
