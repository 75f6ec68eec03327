#include "appcenter/app_market_item_ui.h"

#include <exception>
#include <utility>

#include "appcenter/app_progress_text.h"
#include "appcenter/version_file.h"
#include "knowledge/share_buttons.h"
#include "net/service_transfer.h"
#include "platform/code_page.h"

namespace appcenter {
namespace {

constexpr char kTitle[] = "txtTitle";
constexpr char kNetNote[] = "btnNetFrameworkForAppMarketItem";
constexpr char kDesc[] = "txtDesc";
constexpr char kDeveloper[] = "txtAppDeveloperInfo";
constexpr char kStateInfo[] = "txtStateInfo";
constexpr char kAction[] = "btnAppMarketItem_";
constexpr char kImage[] = "hluImage";
constexpr char kProgress[] = "pgDownloadProgress";
constexpr char kSharePlace[] = "AppMarketItem";
constexpr char kNoPicture[] = "nopicinfo.png";

const std::u16string kEmpty;

}  // namespace

CAppMarketItemUI::CAppMarketItemUI(AppItemEnvironment environment)
    : environment_(std::move(environment)) {
  knowledge::BuildRowLayout(*this, environment_.skinFolder, kLayout, environment_.log);
  SetFixedHeight(kHeight);
  SetAttribute("width", "0");
  const knowledge::RowLog& log = environment_.log;
  title_ = knowledge::FindRowControl<skinui::Label>(*this, kTitle, kLayout, log);
  netNote_ = knowledge::FindRowControl<skinui::Button>(*this, kNetNote, kLayout, log);
  desc_ = knowledge::FindRowControl<skinui::Label>(*this, kDesc, kLayout, log);
  developer_ = knowledge::FindRowControl<skinui::Label>(*this, kDeveloper, kLayout, log);
  stateInfo_ = knowledge::FindRowControl<skinui::Label>(*this, kStateInfo, kLayout, log);
  action_ = knowledge::FindRowControl<skinui::Button>(*this, kAction, kLayout, log);
  image_ = knowledge::FindRowControl<skinui::Container>(*this, kImage, kLayout, log);
  progress_ = knowledge::FindRowControl<skinui::Progress>(*this, kProgress, kLayout, log);
  const auto shareNames = knowledge::ShareButtonNames(kSharePlace);
  for (std::size_t i = 0; i < share_.size(); ++i) {
    share_[i] = knowledge::FindRowControl<skinui::Button>(*this, shareNames[i], kLayout, log);
  }
  for (skinui::Label* label : {title_, desc_, developer_, stateInfo_}) {
    if (label != nullptr) label->SetText(u"");
  }
}

void CAppMarketItemUI::SetData(std::int32_t id, std::u16string appName, std::u16string displayName,
                               std::u16string developer, std::u16string version,
                               std::u16string iconName, std::u16string iconUrl,
                               std::u16string installPackageName, std::u16string exeName,
                               std::u16string remark, const std::u16string& netVersionText) {
  AppMarketItemData data;
  data.id = id;
  data.appName = std::move(appName);
  data.displayName = std::move(displayName);
  data.developer = std::move(developer);
  data.version = std::move(version);
  data.iconName = std::move(iconName);
  data.iconUrl = std::move(iconUrl);
  data.installPackageName = std::move(installPackageName);
  data.exeName = std::move(exeName);
  data.remark = std::move(remark);
  data.netVersion = DotNetVersionFromText(netVersionText);
  data.netVersionName = DotNetVersionName(data.netVersion);
  SetData(data);
}

void CAppMarketItemUI::SetData(const AppMarketItemData& data) {
  data_ = data;
  paths_ = PathsOf(environment_.appDirectory, data_);
  if (netNote_ != nullptr) {
    netNote_->SetVisible(false);
    if (environment_.lib != nullptr && NeedsDotNetFramework(data_.netVersion, *environment_.lib)) {
      netNote_->SetText(u"<c #FF0000>使用本应用需要安装" + data_.netVersionName +
                        u"或更高版本</c>");
      netNote_->SetVisible(true);
    }
  }
  if (title_ != nullptr) title_->SetText(data_.displayName);
  if (desc_ != nullptr) desc_->SetText(AppDescription(data_.remark));
  if (developer_ != nullptr) developer_->SetText(data_.developer);
  UpdateState();
  SetStateText(u"");
  ShowProgress(false);
}

void CAppMarketItemUI::SetIndex(int index) {
  knowledge::NameForPosition(action_, kAction, "", index);
  knowledge::NameForPosition(progress_, kProgress, "", index);
  knowledge::NameForPosition(netNote_, kNetNote, "_", index);
  for (std::size_t i = 0; i < share_.size(); ++i) {
    if (share_[i] != nullptr) {
      knowledge::SetUpShareButton(*share_[i], /*large=*/false, static_cast<net::ShareTarget>(i + 1),
                                  knowledge::SharePlace::AppMarketItem, index);
    }
  }
}

bool CAppMarketItemUI::FileExists(const std::string& path) const {
  return !path.empty() && environment_.lib != nullptr &&
         environment_.lib->FileExist(platform::Utf8ToUtf16(path));
}

void CAppMarketItemUI::LoadIcon(bool fetchIfMissing) {
  try {
    if (!paths_.icon.empty() && environment_.lib != nullptr) {
      const std::u16string icon = platform::Utf8ToUtf16(paths_.icon);
      environment_.lib->TryCreateFolderPathByFileName(icon);
      if (fetchIfMissing && !FileExists(paths_.icon) && !data_.iconUrl.empty()) {
        net::DownloadImageFile(*environment_.lib, data_.iconUrl, icon);
      }
    }
  } catch (const std::exception&) {
    // Without its icon the app shows the placeholder.
  }
  if (image_ == nullptr) return;
  try {
    image_->SetBkImage(FileExists(paths_.icon) ? paths_.icon : kNoPicture);
  } catch (const std::exception&) {
    image_->SetBkImage(kNoPicture);
  }
}

void CAppMarketItemUI::SetStateText(const std::u16string& text) {
  if (stateInfo_ != nullptr) stateInfo_->SetText(text);
}

const std::u16string& CAppMarketItemUI::StateText() const {
  return stateInfo_ != nullptr ? stateInfo_->GetText() : kEmpty;
}

bool CAppMarketItemUI::ProgressShown() const {
  return progress_ != nullptr && progress_->IsVisible();
}

void CAppMarketItemUI::ShowProgress(bool visible) {
  if (progress_ == nullptr) return;
  progress_->SetForeImage("progress_fore.png");
  progress_->SetMaxValue(100);
  progress_->SetValue(0);
  progress_->SetVisible(visible);
}

bool CAppMarketItemUI::IsUpToDate() const {
  if (paths_.version.empty()) return false;
  return ReadVersionFile(paths_.version).IsUpToDate(data_.version);
}

void CAppMarketItemUI::UpdateState() {
  AppMarketItemState state =
      FileExists(paths_.program) ? AppMarketItemState::Installed : AppMarketItemState::NotInstalled;
  if (state == AppMarketItemState::Installed && !IsUpToDate()) {
    state = AppMarketItemState::Upgradable;
  }
  SetState(state);
}

void CAppMarketItemUI::SetState(AppMarketItemState state) {
  state_ = state;
  if (action_ == nullptr) return;
  const StateButtonLook look = CatalogueButtonLook(state);
  action_->SetText(look.text);
  action_->SetNormalImage(look.normalImage);
  action_->SetHotImage(look.hotImage);
  action_->SetPushedImage(look.pushedImage);
  action_->SetEnabled(true);
}

void CAppMarketItemUI::UpdateProgress(std::int32_t total, std::int32_t done) {
  const AppProgressUpdate update = ItemProgress(total, done, lastDone_);
  if (update.progressValue && progress_ != nullptr) progress_->SetValue(*update.progressValue);
  if (update.text) SetStateText(*update.text);
  lastDone_ = update.lastDone;
}

}  // namespace appcenter
