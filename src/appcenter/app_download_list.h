#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "appcenter/app_button_store.h"
#include "appcenter/app_market_item_ui.h"
#include "core/feature_host.h"
#include "knowledge/download_engine.h"

namespace appcenter {

class CAppMarketDownloadMngFrame;

// The app downloads asked for since the program started. Each entry is a copy of a catalogue
// item (never shown) with the download engine that carries its package; entries are found by
// app name or package name, first match in order. At the end of a transfer the entry installs
// what arrived and leaves the list.
class AppDownloadList {
 public:
  static constexpr char kFrameworkPackage[] = "dotNetFx40_Full_x86_x64.exe";
  static constexpr std::int32_t kMaxRetries = 5;

  struct Entry {
    std::unique_ptr<CAppMarketItemUI> item;
    std::unique_ptr<knowledge::DownloadEngine> engine;
  };
  // Shared so that a handler that stops an entry's transfer (and so handles the transfer's end,
  // which removes the entry) keeps it alive until it returns.
  using EntryRef = std::shared_ptr<Entry>;

  AppDownloadList(core::FeatureHost& host, AppItemEnvironment environment, AppButtonStore& store);
  ~AppDownloadList();
  AppDownloadList(const AppDownloadList&) = delete;
  AppDownloadList& operator=(const AppDownloadList&) = delete;

  // The entry of the item's app, or a new copy of the item appended.
  EntryRef FindOrAdd(const CAppMarketItemUI& item);
  EntryRef FindByPackage(const std::u16string& name) const;
  EntryRef FindByAppName(const std::u16string& name) const;
  void RemoveByAppName(const std::u16string& name);
  void RemoveByPackage(const std::u16string& name);
  const std::vector<EntryRef>& Entries() const { return entries_; }

  // Starts the framework installer's download unless .NET 4.0 or 4.5 is there. A download of
  // it that still runs is left alone.
  void EnsureDotNetFramework40();
  // Starts the entry's package transfer into Downloads/AppMarket (the framework into
  // Downloads/Platform).
  void StartEntryDownload(Entry& entry);
  // The end of a transfer: installs what arrived (unpacks the app into Modules/<appName> and
  // adds its home button, or runs the framework installer), then drops the entry.
  void InstallFinished(const std::u16string& name, std::int32_t status);

  // Where a package is downloaded; empty for a name that is no usable file name.
  std::string PackagePath(const std::u16string& packageName) const;

  // The open download manager window, or null.
  CAppMarketDownloadMngFrame* managerWindow = nullptr;

 private:
  void InstallApp(CAppMarketItemUI& item, const std::string& package);

  core::FeatureHost& host_;
  AppItemEnvironment environment_;
  AppButtonStore& store_;
  std::vector<EntryRef> entries_;
};

}  // namespace appcenter
