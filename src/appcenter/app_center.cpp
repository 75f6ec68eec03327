#include "appcenter/app_center.h"

#include <charconv>
#include <exception>

#include "appcenter/app_catalogue.h"
#include "appcenter/app_market_download_mng_frame.h"
#include "core/app_directory.h"
#include "core/fly_icon_animation.h"
#include "net/usage_report.h"
#include "platform/code_page.h"
#include "platform/paths.h"
#include "skinui/container.h"
#include "skinui/edit.h"
#include "skinui/list.h"
#include "skinui/option.h"
#include "skinui/ui_context.h"
#include "skinui/window.h"

namespace appcenter {
namespace {

constexpr char kSearchEdit[] = "txtAppMarketSearchEdit";
constexpr char kCategoryList[] = "vluAppMarketCategory";
constexpr char kDownloadMng[] = "btnAppMarketDownloadMng";
constexpr char kItemPrefix[] = "btnAppMarketItem_";
constexpr char kNotePrefix[] = "btnNetFrameworkForAppMarketItem_";
constexpr char kPagerPrefix[] = "ouAppMarket_";
constexpr char16_t kBusyText[] = u"应用中心中有应用工具正在下载安装，请稍后操作.";
constexpr char16_t kPreparingText[] = u"下载准备中...";
constexpr char16_t kNoNetworkText[] = u"无法访问网络";
constexpr int kInfoIcon = 0;
constexpr int kErrorIcon = 2;
constexpr int kOkButton = 0;
constexpr int kMessageHeight = 160;

}  // namespace

std::optional<int> NumberAfterPrefix(const std::string& name, std::size_t prefixLength) {
  if (name.size() <= prefixLength) return std::nullopt;
  int value = 0;
  const char* begin = name.data() + prefixLength;
  const char* end = name.data() + name.size();
  const auto [last, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || last != end) return std::nullopt;
  return value;
}

AppCenter::AppCenter(core::FeatureHost& host)
    : host_(host),
      view_(&host.OwnerWindow()),
      store_(core::JoinAppPath(host.DataDirectory(), "Data/AppButtonView.xml"),
             core::JoinAppPath(host.DataDirectory(), "Modules"),
             [&host](const std::u16string& line) { host.Log(line); }),
      downloads_(host, ItemEnvironment(), store_) {}

AppCenter::~AppCenter() = default;

AppItemEnvironment AppCenter::ItemEnvironment() {
  return {host_.OwnerWindow().GetContext().ResourcePath(), host_.DataDirectory(), &host_.Binding(),
          [&host = host_](const std::string& line) { host.Log(platform::Utf8ToUtf16(line)); }};
}

// ---------------------------------------------------------------------------------------------
// Catalogue

void AppCenter::DoInitAppMarketCategory() {
  if (auto* categories = host_.Find<skinui::Container>(kCategoryList)) {
    categories->RemoveAll();
    auto spacer = std::make_unique<skinui::Container>();
    spacer->SetFixedHeight(1);
    categories->Add(std::move(spacer));
  }
  const core::ServiceContext context = host_.Service();
  CAppMarketView* view = &view_;
  context.loop->startWorker([context, view] { RunCategoryWorker(context, view); });
  if (auto* list = host_.Find<skinui::List>(kAppList)) list->EnableScrollBar(true, false);
}

void AppCenter::OnAppCategoryAdd(platform::Payload& payload) {
  std::unique_ptr<AppCategoryAdd> add = payload.take<AppCategoryAdd>();
  if (!add || !add->option) return;
  if (auto* categories = host_.Find<skinui::Container>(kCategoryList)) {
    categories->Add(std::move(add->option));
  }
}

void AppCenter::OnAppCategorySelect(platform::Payload& payload) {
  const AppCategorySelect* select = payload.get<AppCategorySelect>();
  auto* categories = host_.Find<skinui::Container>(kCategoryList);
  if (select == nullptr || categories == nullptr) return;
  if (auto* option = dynamic_cast<skinui::Option*>(categories->FindByName(select->optionName))) {
    option->Selected(true);
  }
}

void AppCenter::OnAppMarketCategorySelected(const std::string& optionName) {
  if (!IsAppCenterIdle(true)) return;
  if (auto* edit = host_.Find<skinui::Control>(kSearchEdit)) edit->SetText(u"");
  view_.categoryId = NumberAfterPrefix(optionName, sizeof kCategoryPrefix - 1).value_or(0);
  view_.pageIndex = 1;
  LoadAppPage();
}

void AppCenter::OnAppMarketSearch() {
  if (!IsAppCenterIdle(true)) return;
  view_.pageIndex = 1;
  LoadAppPage();
}

void AppCenter::OnAppMarketPagerClick(const std::string& name) {
  if (!IsAppCenterIdle(true)) return;
  const std::string part = name.substr(sizeof kPagerPrefix - 1);
  const int before = view_.pageIndex;
  bool pageButton = false;
  if (part == "Prev") {
    if (view_.pageIndex > 1) --view_.pageIndex;
  } else if (part == "Next") {
    if (view_.pageIndex < view_.GetPageCount()) ++view_.pageIndex;
  } else if (part.starts_with("PageIndex_")) {
    const skinui::Control* button = host_.FindControl(name);
    if (button == nullptr) return;
    const std::string shown = platform::Utf16ToUtf8(button->GetText());
    const std::optional<int> number = NumberAfterPrefix("#" + shown, 1);
    if (!number) return;
    view_.pageIndex = *number;
    pageButton = true;
  }
  if (pageButton || view_.pageIndex != before) LoadAppPage();
}

void AppCenter::LoadAppPage() {
  auto* list = host_.Find<skinui::List>(kAppList);
  if (list != nullptr) list->RemoveAll();
  AppPageRequest request;
  request.view = &view_;
  request.categoryId = view_.categoryId;
  request.pageIndex = view_.pageIndex;
  if (const auto* edit = host_.Find<skinui::Control>(kSearchEdit)) {
    request.searchText = edit->GetText();
  }
  request.environment = ItemEnvironment();
  const core::ServiceContext context = host_.Service();
  context.loop->startWorker([context, request] { RunPageWorker(context, request); });
}

bool AppCenter::IsAppCenterIdle(bool showMessage) {
  auto* list = host_.Find<skinui::List>(kAppList);
  if (list == nullptr) return true;
  for (int i = 0; i < list->GetCount(); ++i) {
    const auto* item = dynamic_cast<CAppMarketItemUI*>(list->GetItemAt(i));
    if (item == nullptr) continue;
    const AppDownloadList::EntryRef entry = downloads_.FindByAppName(item->Data().appName);
    if (entry && entry->engine->IsRunning()) {
      if (showMessage)
        host_.ShowMessageBox(kErrorIcon, kOkButton, kBusyText, kMessageHeight, false);
      return false;
    }
  }
  return true;
}

void AppCenter::SearchApps(const std::u16string& text) {
  if (auto* edit = host_.Find<skinui::Control>(kSearchEdit)) edit->SetText(text);
  view_.pageIndex = 1;
  LoadAppPage();
  if (auto* tab = host_.Find<skinui::Option>("quickBar_AppMarket")) tab->Selected(true);
  if (auto* edit = host_.Find<skinui::Control>(kSearchEdit)) {
    if (skinui::PaintManager* pm = edit->GetManager()) pm->SetFocus(edit);
  }
}

// ---------------------------------------------------------------------------------------------
// Download and install

CAppMarketItemUI* AppCenter::ListItem(int position) {
  auto* list = host_.Find<skinui::List>(kAppList);
  if (list == nullptr || position < 0 || position >= list->GetCount()) return nullptr;
  return dynamic_cast<CAppMarketItemUI*>(list->GetItemAt(position));
}

CAppMarketItemUI* AppCenter::ListItemByPackage(const std::u16string& name) {
  auto* list = host_.Find<skinui::List>(kAppList);
  if (list == nullptr) return nullptr;
  for (int i = 0; i < list->GetCount(); ++i) {
    auto* item = dynamic_cast<CAppMarketItemUI*>(list->GetItemAt(i));
    if (item != nullptr && item->Data().installPackageName == name) return item;
  }
  return nullptr;
}

void AppCenter::OnAppMarketItemClick(const std::string& name) {
  if (const auto position = NumberAfterPrefix(name, sizeof kItemPrefix - 1)) {
    OnAppActionClick(*position);
  }
}

void AppCenter::OnNetFrameworkClick(const std::string& name) {
  if (const auto position = NumberAfterPrefix(name, sizeof kNotePrefix - 1)) {
    OnDotNetNoteClick(*position);
  }
}

void AppCenter::ShowDotNetNeeded(const CAppMarketItemUI& item) {
  host_.ShowMessageBox(kInfoIcon, kOkButton,
                       u"应用工具【" + item.Data().displayName +
                           u"】需要安装 Microsoft .NET Framework 或更高版本才可以运行，"
                           u"请在弹出的网页中下载安装 .",
                       kMessageHeight, false);
  host_.ShellOpen(FrameworkDownloadPage(item.Data().netVersion));
}

void AppCenter::OnDotNetNoteClick(int position) {
  try {
    CAppMarketItemUI* item = ListItem(position);
    if (item != nullptr && NeedsDotNetFramework(item->Data().netVersion, host_.Binding())) {
      ShowDotNetNeeded(*item);
    }
  } catch (const std::exception& e) {
    host_.Log(u"处理应用运行环境出现异常:" + platform::Utf8ToUtf16(e.what()));
  }
}

void AppCenter::OnAppActionClick(int position) {
  try {
    CAppMarketItemUI* item = ListItem(position);
    if (item == nullptr) return;
    if (item->State() == AppMarketItemState::Installed) {
      if (NeedsDotNetFramework(item->Data().netVersion, host_.Binding())) {
        ShowDotNetNeeded(*item);
      } else if (!item->Paths().program.empty() &&
                 host_.Binding().FileExist(platform::Utf8ToUtf16(item->Paths().program))) {
        host_.ShellOpen(platform::Utf8ToUtf16(item->Paths().program));
      }
      return;
    }
    AppDownloadList::EntryRef entry = downloads_.FindOrAdd(*item);
    switch (entry->item->State()) {
      case AppMarketItemState::NotInstalled:
      case AppMarketItemState::Upgradable:
        return StartAppDownload(*item, *entry);
      case AppMarketItemState::Downloading:
        // The transfer's end is handled inside the stop; `entry` keeps the copy alive.
        entry->engine->StopDownload();
        entry->item->UpdateState();
        entry->item->UpdateProgress(100, 0);
        return;
      case AppMarketItemState::Installed:
        return;
    }
  } catch (const std::exception& e) {
    host_.Log(u"处理应用操作出现异常:" + platform::Utf8ToUtf16(e.what()));
  }
}

void AppCenter::StartAppDownload(CAppMarketItemUI& item, AppDownloadList::Entry& entry) {
  const skinui::Control* from = item.ActionButton();
  const skinui::Control* to = host_.FindControl(kDownloadMng);
  if (from != nullptr && to != nullptr) {
    const std::string& icon = item.Paths().icon;
    const bool hasIcon = !icon.empty() && host_.Binding().FileExist(platform::Utf8ToUtf16(icon));
    core::FlyIconAnimation::Start(host_, *from, *to, hasIcon ? icon : std::string());
  }
  downloads_.EnsureDotNetFramework40();
  // A transfer that has not ended yet (a stop whose end is still on its way) is not started
  // twice.
  if (entry.engine->IsRunning()) return;
  downloads_.StartEntryDownload(entry);
  net::ReportUserBehavior(host_.Service(), entry.item->Data().appName,
                          net::BehaviorKind::AppDownloadStarted);
}

void AppCenter::OnAppDownloadStarted(const knowledge::DownloadStarted& started) {
  if (AppDownloadList::EntryRef entry = downloads_.FindByPackage(started.FileName)) {
    entry->item->SetState(AppMarketItemState::Downloading);
    entry->item->SetStateText(kPreparingText);
    entry->item->ShowProgress(true);
  }
  if (CAppMarketItemUI* item = ListItemByPackage(started.FileName)) {
    item->SetState(AppMarketItemState::Downloading);
    item->SetStateText(kPreparingText);
    item->ShowProgress(true);
  }
  if (downloads_.managerWindow != nullptr) downloads_.managerWindow->OnStarted(started.FileName);
}

void AppCenter::OnAppDownloadProgress(const knowledge::DownloadProgress& progress) {
  if (AppDownloadList::EntryRef entry = downloads_.FindByPackage(progress.FileName)) {
    entry->item->UpdateProgress(progress.Total, progress.Done);
  }
  if (CAppMarketItemUI* item = ListItemByPackage(progress.FileName)) {
    item->UpdateProgress(progress.Total, progress.Done);
  }
  if (downloads_.managerWindow != nullptr) {
    downloads_.managerWindow->OnProgress(progress.FileName, progress.Total, progress.Done);
  }
}

void AppCenter::OnAppDownloadEnded(const knowledge::DownloadEnded& ended) {
  downloads_.InstallFinished(ended.FileName, ended.Result);
  if (ended.FileName != platform::Utf8ToUtf16(AppDownloadList::kFrameworkPackage)) {
    if (CAppMarketItemUI* item = ListItemByPackage(ended.FileName)) {
      item->SetStateText(ended.Result == knowledge::kDownloadResultNoNetwork ? kNoNetworkText
                                                                             : u"");
      item->ShowProgress(false);
      item->UpdateState();
    }
    if (ended.Result == knowledge::kDownloadResultFinished) {
      host_.Post(core::WM_HOME_APPS_REFRESH);
    }
    if (downloads_.managerWindow != nullptr) downloads_.managerWindow->RemoveRow(ended.FileName);
  }
  downloads_.RemoveByPackage(ended.FileName);
}

void AppCenter::ShowAppDownloadManager() {
  const skinui::Control* opener = host_.FindControl(kDownloadMng);
  if (opener == nullptr) return;
  skinui::Window& main = host_.OwnerWindow();
  auto frame = std::make_unique<CAppMarketDownloadMngFrame>(
      main.GetContext(), main, *opener, downloads_, host_.DataDirectory(),
      [&host = host_](const std::string& line) { host.Log(platform::Utf8ToUtf16(line)); });
  CAppMarketDownloadMngFrame* raw = frame.get();
  main.GetContext().AdoptWindow(std::move(frame));
  if (downloads_.managerWindow != nullptr) downloads_.managerWindow->DetachList();
  downloads_.managerWindow = raw;
  if (!raw->Open()) downloads_.managerWindow = nullptr;
}

void AppCenter::OnFlyIconStep(platform::Payload& payload) {
  core::FlyIconAnimation::OnStep(host_, payload);
}

void AppCenter::OnFlyIconEnd(platform::Payload& payload) {
  core::FlyIconAnimation::OnEnd(host_, payload);
}

}  // namespace appcenter
