#include "appcenter/app_download_list.h"

#include <algorithm>

#include "appcenter/app_market_download_mng_frame.h"
#include "knowledge/download_messages.h"
#include "knowledge/file_server_query.h"
#include "knowledge/log_sink.h"
#include "platform/code_page.h"
#include "platform/paths.h"

namespace appcenter {
namespace {

constexpr char16_t kInstallingText[] = u"安装正在进行中...";
constexpr char16_t kNoNetworkText[] = u"无法访问网络";
constexpr char kPilotrex[] = "Pilotrex";

std::u16string Wide(const std::string& utf8) {
  return platform::Utf8ToUtf16(utf8);
}

}  // namespace

AppDownloadList::AppDownloadList(core::FeatureHost& host, AppItemEnvironment environment,
                                 AppButtonStore& store)
    : host_(host), environment_(std::move(environment)), store_(store) {}

AppDownloadList::~AppDownloadList() {
  if (managerWindow != nullptr) managerWindow->DetachList();
}

AppDownloadList::EntryRef AppDownloadList::FindOrAdd(const CAppMarketItemUI& item) {
  if (EntryRef found = FindByAppName(item.Data().appName)) return found;
  auto entry = std::make_shared<Entry>();
  entry->item = std::make_unique<CAppMarketItemUI>(environment_);
  entry->item->SetData(item.Data());
  entry->engine = std::make_unique<knowledge::DownloadEngine>(
      host_.Service(), knowledge::ProductLogSink(host_.Binding()));
  entries_.push_back(entry);
  return entry;
}

AppDownloadList::EntryRef AppDownloadList::FindByPackage(const std::u16string& name) const {
  for (const EntryRef& entry : entries_) {
    if (entry->item->Data().installPackageName == name) return entry;
  }
  return nullptr;
}

AppDownloadList::EntryRef AppDownloadList::FindByAppName(const std::u16string& name) const {
  for (const EntryRef& entry : entries_) {
    if (entry->item->Data().appName == name) return entry;
  }
  return nullptr;
}

void AppDownloadList::RemoveByAppName(const std::u16string& name) {
  const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const EntryRef& entry) {
    return entry->item->Data().appName == name;
  });
  if (found != entries_.end()) entries_.erase(found);
}

void AppDownloadList::RemoveByPackage(const std::u16string& name) {
  std::erase_if(entries_, [&](const EntryRef& entry) {
    return entry->item->Data().installPackageName == name;
  });
}

std::string AppDownloadList::PackagePath(const std::u16string& packageName) const {
  const std::string safe = SafeFileName(packageName);
  if (safe.empty()) return {};
  const char* folder =
      packageName == Wide(kFrameworkPackage) ? "Downloads/Platform" : "Downloads/AppMarket";
  return platform::JoinPath(platform::JoinPath(environment_.appDirectory, folder), safe);
}

void AppDownloadList::StartEntryDownload(Entry& entry) {
  const std::u16string& package = entry.item->Data().installPackageName;
  const std::string local = PackagePath(package);
  if (local.empty()) {
    host_.Log(u"应用安装包名称 " + package + u" 无法用作文件名，已忽略.");
    return;
  }
  entry.item->UpdateProgress(100, 0);
  const knowledge::StoreFileKind kind = package == Wide(kFrameworkPackage)
                                            ? knowledge::StoreFileKind::Platform
                                            : knowledge::StoreFileKind::App;
  entry.engine->StartDownload(host_.Service().mainWindow, package, Wide(local), kind,
                              knowledge::MakeFileServerQuery(host_.Binding()), kMaxRetries);
}

void AppDownloadList::EnsureDotNetFramework40() {
  const core::ZelkLibBinding& lib = host_.Binding();
  if (lib.HasInstallDotNetFrameworkV45() || lib.HasInstallDotNetFrameworkV40()) return;
  EntryRef entry = FindByPackage(Wide(kFrameworkPackage));
  if (!entry) {
    CAppMarketItemUI framework(environment_);
    framework.SetData(0, u"DotNetFrameworkV40", u"Microsoft .Net Framework 4.0", u"Microsoft",
                      u"V4.0", u"", u"", Wide(kFrameworkPackage), Wide(kFrameworkPackage), u"",
                      u"");
    entry = FindOrAdd(framework);
  }
  // Two app downloads close together share the one installer transfer.
  if (entry->engine->IsRunning()) return;
  StartEntryDownload(*entry);
}

void AppDownloadList::InstallFinished(const std::u16string& name, std::int32_t status) {
  EntryRef entry = FindByPackage(name);
  if (!entry) return;
  CAppMarketItemUI& item = *entry->item;
  item.ShowProgress(false);
  const std::string package = PackagePath(name);
  if (status == knowledge::kDownloadResultFinished) {
    item.SetStateText(kInstallingText);
    const core::ZelkLibBinding& lib = host_.Binding();
    if (name == Wide(kFrameworkPackage)) {
      if (!lib.HasInstallDotNetFrameworkV40() && !package.empty() && lib.FileExist(Wide(package))) {
        lib.InstallDoNetFramework4BySilent(
            Wide(platform::JoinPath(environment_.appDirectory, "Downloads/Platform")),
            Wide(package));
      }
    } else if (!package.empty() && lib.FileExist(Wide(package))) {
      InstallApp(item, package);
    }
  }
  item.SetStateText(status == knowledge::kDownloadResultNoNetwork ? kNoNetworkText : u"");
  item.UpdateState();
  RemoveByAppName(item.Data().appName);
}

void AppDownloadList::InstallApp(CAppMarketItemUI& item, const std::string& package) {
  const core::ZelkLibBinding& lib = host_.Binding();
  const AppMarketItemData& data = item.Data();
  const AppPaths& paths = item.Paths();
  if (paths.folder.empty()) {
    host_.Log(u"应用名称 " + data.appName + u" 无法用作文件夹名称，安装包未解压.");
  } else {
    lib.UnZipFile(Wide(package), Wide(paths.folder));
    const std::string app = SafeFileName(data.appName);
    AppButtonEntry button;
    button.appName = Wide(app);
    button.text = data.displayName;
    button.description = data.remark;
    button.exeFileName = Wide(app + "/" + SafeFileName(data.exeName));
    button.imageFileName = Wide(app + "/" + SafeFileName(data.iconName));
    button.weight = 0;
    button.userDefine = false;
    button.addPattern = AddPattern::handworkAdd;
    button.isNotAddScan = true;
    button.netFrameworkVersionName = data.netVersionName;
    try {
      store_.AddAppButton(button);
    } catch (...) {
      host_.Log(u"未知原因造成无法添加应用到首页显示");
    }
    if (data.appName == Wide(kPilotrex)) {
      const std::string loose = platform::JoinPath(environment_.appDirectory, kPilotrex);
      if (lib.PathExist(Wide(loose))) {
        lib.MoveDir(Wide(loose), Wide(platform::JoinPath(paths.folder, kPilotrex)));
      }
    }
  }
  if (lib.FileExist(Wide(package))) lib.FileDelete(Wide(package));
}

}  // namespace appcenter
