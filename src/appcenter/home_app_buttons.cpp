#include "appcenter/home_app_buttons.h"

#include <exception>
#include <vector>

#include "appcenter/app_button_ui.h"
#include "appcenter/app_version_check.h"
#include "appcenter/dot_net_version.h"
#include "appcenter/home_grid.h"
#include "appcenter/version_file.h"
#include "core/app_directory.h"
#include "net/endpoints.h"
#include "net/service_requests.h"
#include "net/usage_report.h"
#include "platform/code_page.h"
#include "platform/paths.h"
#include "skinui/button.h"
#include "skinui/lib_object_view.h"
#include "skinui/option.h"
#include "skinui/pager_arithmetic.h"
#include "skinui/tile_layout.h"
#include "skinui/window.h"

namespace appcenter {
namespace {

constexpr char kGrid[] = "tluHomeAppButtons";
constexpr char kEditButton[] = "btnHomeAppEdit";
constexpr char kRightClient[] = "vluHome_RightClient";
constexpr char kPagerPrefix[] = "ouHomApp_";
constexpr char kSpacer[] = "hluHomeAppPageIndexFillArea";
constexpr int kInfoIcon = 0;
constexpr int kOkButton = 0;
constexpr int kMessageHeight = 160;

}  // namespace

HomeAppButtons::HomeAppButtons(core::FeatureHost& host)
    : host_(host),
      store_(core::JoinAppPath(host.DataDirectory(), "Data/AppButtonView.xml"),
             core::JoinAppPath(host.DataDirectory(), "Modules"),
             [&host](const std::u16string& line) { host.Log(line); }),
      modulesFolder_(core::JoinAppPath(host.DataDirectory(), "Modules")) {
  store_.EnsureStoreFile();
}

HomeAppButtons::~HomeAppButtons() = default;

int HomeAppButtons::HeightOf(const char* name) {
  const skinui::Control* control = host_.FindControl(name);
  if (control == nullptr) return 0;
  return control->GetFixedHeight() > 0 ? control->GetFixedHeight() : control->GetPos().Height();
}

int HomeAppButtons::WidthOf(const char* name) {
  const skinui::Control* control = host_.FindControl(name);
  if (control == nullptr) return 0;
  return control->GetFixedWidth() > 0 ? control->GetFixedWidth() : control->GetPos().Width();
}

void HomeAppButtons::DoRefreshHomeAppButtons() {
  RefreshHomeApps(editMode_);
}

void HomeAppButtons::RefreshHomeApps(bool editMode) {
  editMode_ = editMode;
  auto* grid = host_.Find<skinui::TileLayout>(kGrid);
  if (grid == nullptr) return;
  try {
    grid->EnableScrollBar(editMode, false);
    const std::vector<AppButtonStore::Loaded> entries = store_.Load();
    buttonCount_ = store_.CountAppButtons();
    const skinui::Rect window = host_.OwnerWindow().GetWindowRect();
    const HomeGrid layout = ComputeHomeGrid(
        {window.Width(), window.Height(), WidthOf(kRightClient),
         HeightOf("appBar") + HeightOf("MainToolBar") + HeightOf("tluHomeAppButtonsTitleBar"),
         buttonCount_, editMode});
    columns_ = layout.columns;
    pageSize_ = layout.pageSize;
    pageCount_ = layout.pageCount;
    grid->SetColumns(columns_);

    building_->store(true);
    grid->RemoveAll();
    const HomePage page = ComputeHomePage(pageIndex_, pageSize_, buttonCount_);
    pageIndex_ = page.pageIndex;
    for (const AppButtonStore::Loaded& loaded : entries) {
      if (loaded.position < page.first || loaded.position > page.last) continue;
      try {
        auto button = std::make_unique<CAppButtonUI>(loaded.entry, loaded.position, modulesFolder_);
        button->showDeleteMark = editMode;
        button->Decorate(host_.Binding());
        grid->Add(std::move(button));
      } catch (const std::exception&) {
        host_.Log(u"未知原因造成无法添加应用到首页显示");
      }
    }
    if (!grid->IsVisible()) grid->SetVisible(true);
    building_->store(false);
    if (auto* hint = host_.OwnerWindow().GetPaintManager().FindControl("lblHomeAppsEmptyHint")) {
      hint->SetVisible(buttonCount_ == 0);
    }
    LayoutPager();
  } catch (const std::exception& e) {
    building_->store(false);
    host_.Log(u"刷新首页应用按钮出现异常:" + platform::Utf8ToUtf16(e.what()));
  }
}

void HomeAppButtons::LayoutPager() {
  using namespace skinui::pager_images;
  const skinui::PagerLayout layout = skinui::ComputePager(pageIndex_, pageCount_, true);
  const skinui::PagerNames names{std::string(kPagerPrefix) + "Prev",
                                 std::string(kPagerPrefix) + "Next",
                                 std::string(kPagerPrefix) + "PageIndex_",
                                 kSpacer,
                                 {}};
  skinui::ApplyPagerLayout(host_.OwnerWindow().GetPaintManager(), names, layout);
  if (skinui::Control* spacer = host_.FindControl(kSpacer)) {
    spacer->SetFixedWidth(HomePagerSpacerWidth(host_.OwnerWindow().GetWindowRect().Width(),
                                               WidthOf(kEditButton), WidthOf(kRightClient),
                                               layout.visibleCount));
  }
}

void HomeAppButtons::ToggleHomeAppEditMode() {
  RefreshHomeApps(!editMode_);
  if (skinui::Control* button = host_.FindControl(kEditButton)) {
    button->SetText(editMode_ ? u"完成" : u"编辑");
  }
}

void HomeAppButtons::OnHomeAppPagerClick(const std::string& name) {
  const std::string part = name.substr(sizeof kPagerPrefix - 1);
  const int before = pageIndex_;
  bool pageButton = false;
  if (part == "Prev") {
    if (pageIndex_ > 1) --pageIndex_;
  } else if (part == "Next") {
    if (pageIndex_ < pageCount_) ++pageIndex_;
  } else if (part.starts_with("PageIndex_")) {
    const skinui::Control* button = host_.FindControl(name);
    if (button == nullptr) return;
    const int number = std::atoi(platform::Utf16ToUtf8(button->GetText()).c_str());
    if (number < 1) return;
    pageIndex_ = number;
    pageButton = true;
  }
  if (pageButton || pageIndex_ != before) RefreshHomeApps(false);
}

void HomeAppButtons::Message(const std::u16string& text) {
  host_.ShowMessageBox(kInfoIcon, kOkButton, text, kMessageHeight, false);
}

void HomeAppButtons::OnHomeAppClick(const std::string& name, skinui::Point point) {
  auto* button = host_.Find<CAppButtonUI>(name);
  if (button == nullptr) return;
  const core::ZelkLibBinding& lib = host_.Binding();
  const std::u16string program = platform::Utf8ToUtf16(button->ProgramPath());
  try {
    if (editMode_) {
      if (!button->MarkContains(point)) return;
      if (!program.empty() && lib.HasRunningInstance(lib.GetFileName(program))) {
        Message(u"应用工具【" + button->Caption() +
                u"】正在运行，请先关闭该应用，然后再进行删除操作.");
        return;
      }
      const std::u16string exeFileName = button->ExeFileName();
      if (!program.empty()) lib.FileDelete(program);
      if (const std::string folder = button->AppFolder(); !folder.empty()) {
        lib.PathDelete(platform::Utf8ToUtf16(folder));
      }
      store_.RemoveAppButton(exeFileName);
      RefreshHomeApps(true);
      return;
    }
    const std::u16string appName = button->AppName();
    const std::u16string caption = button->Caption();
    net::ReportUserBehavior(host_.Service(), appName, net::BehaviorKind::AppStarted);
    if (program.empty() || !lib.FileExist(program)) {
      if (appSearch_) appSearch_(appName);
      Message(u"应用工具【" + caption + u"】未安装，请在应用中心中安装该应用.");
      return;
    }
    const std::string version = button->VersionPath();
    if (version.empty() || ReadVersionFile(version).NeedsUpgradeMark()) {
      if (appSearch_) appSearch_(appName);
      Message(u"应用工具【" + caption + u"】需要升级，请在应用中心中升级该应用.");
      return;
    }
    if (NeedsDotNetFramework(button->NetVersion(), lib)) {
      Message(u"应用工具【" + caption +
              u"】需要安装 Microsoft .NET Framework 或更高版本才可以运行，"
              u"请在弹出的网页中下载安装 .");
      host_.ShellOpen(FrameworkDownloadPage(button->NetVersion()));
      return;
    }
    host_.ShellOpen(program);
  } catch (const std::exception& e) {
    host_.Log(u"处理首页应用按钮出现异常:" + platform::Utf8ToUtf16(e.what()));
  }
}

void HomeAppButtons::CheckAppVersions() {
  std::vector<InstalledApp> installed;
  if (!store_.Exists()) return;
  const core::ZelkLibBinding& lib = host_.Binding();
  for (const AppButtonStore::Loaded& loaded : store_.Load()) {
    const CAppButtonUI button(loaded.entry, loaded.position, modulesFolder_);
    if (button.ProgramPath().empty() ||
        !lib.FileExist(platform::Utf8ToUtf16(button.ProgramPath()))) {
      continue;
    }
    installed.push_back({button.AppName(), button.VersionPath()});
  }
  if (installed.empty()) return;
  const std::optional<std::u16string> url =
      net::ServiceRequestUrl(lib, net::endpoints::kAppVersions, {net::GetShortOSName(lib)});
  if (!url) return;
  const core::ServiceContext context = host_.Service();
  context.loop->startWorker(
      [context, url = *url, body = AppVersionsBody(installed), installed, building = building_] {
        RunAppVersionCheck(context, url, body, installed, building);
      });
}

}  // namespace appcenter
