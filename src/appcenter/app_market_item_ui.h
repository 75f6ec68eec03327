#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "appcenter/app_market_item_data.h"
#include "appcenter/app_market_item_state.h"
#include "core/zelk_lib_binding.h"
#include "knowledge/download_row_layout.h"
#include "skinui/button.h"
#include "skinui/container.h"
#include "skinui/label.h"
#include "skinui/list_container_element.h"
#include "skinui/progress.h"

namespace appcenter {

// What an app item needs besides its data: the skin folder its layout comes from, the program
// folder its app lives in, the support library and where faults are logged. The library
// outlives every item.
struct AppItemEnvironment {
  std::string skinFolder;
  std::string appDirectory;
  const core::ZelkLibBinding* lib = nullptr;
  knowledge::RowLog log;
};

// One app of the app center's list: icon, title, .NET note, description, developer, state line,
// progress bar and the action button of its state. Built on the page worker, owned by the list
// once the window thread has added it. The download list keeps copies of items (never shown)
// that carry the apps' downloads.
class CAppMarketItemUI : public skinui::ListContainerElement {
 public:
  static constexpr char kLayout[] = "AppMarketItem.xml";
  static constexpr int kHeight = 90;

  explicit CAppMarketItemUI(AppItemEnvironment environment);

  // Stores the fields, derives the framework requirement, fills the controls, computes the
  // state and hides the progress bar.
  void SetData(std::int32_t id, std::u16string appName, std::u16string displayName,
               std::u16string developer, std::u16string version, std::u16string iconName,
               std::u16string iconUrl, std::u16string installPackageName, std::u16string exeName,
               std::u16string remark, const std::u16string& netVersionText);
  void SetData(const AppMarketItemData& data);
  // Names the button, bar and note after the item's position in its page.
  void SetIndex(int index);
  // Shows the icon, fetching it first when it is missing and `fetchIfMissing` (worker thread
  // only: the fetch blocks); "nopicinfo.png" when there is none.
  void LoadIcon(bool fetchIfMissing);
  void SetStateText(const std::u16string& text);
  // The bar of a transfer: its picture, maximum 100, value 0 and the visibility.
  void ShowProgress(bool visible);
  // Recomputes the state from the files under Modules and applies it.
  void UpdateState();
  void SetState(AppMarketItemState state);
  // One progress message of the app's download (bar, size and speed).
  void UpdateProgress(std::int32_t total, std::int32_t done);
  // Version.txt says this copy is the service's current version.
  bool IsUpToDate() const;

  const AppMarketItemData& Data() const { return data_; }
  AppMarketItemState State() const { return state_; }
  std::int32_t LastDone() const { return lastDone_; }
  const AppPaths& Paths() const { return paths_; }
  const AppItemEnvironment& Environment() const { return environment_; }
  skinui::Button* ActionButton() const { return action_; }
  const std::u16string& StateText() const;
  bool ProgressShown() const;

 private:
  bool FileExists(const std::string& path) const;

  AppItemEnvironment environment_;
  AppMarketItemData data_;
  AppPaths paths_;
  AppMarketItemState state_ = AppMarketItemState::NotInstalled;
  std::int32_t lastDone_ = 0;
  skinui::Label* title_ = nullptr;
  skinui::Button* netNote_ = nullptr;
  skinui::Label* desc_ = nullptr;
  skinui::Label* developer_ = nullptr;
  skinui::Label* stateInfo_ = nullptr;
  skinui::Button* action_ = nullptr;
  skinui::Container* image_ = nullptr;
  skinui::Progress* progress_ = nullptr;
  std::array<skinui::Button*, 5> share_{};
};

}  // namespace appcenter
