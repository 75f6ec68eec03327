#pragma once

#include <cstdint>
#include <string>

#include "appcenter/app_market_item_state.h"
#include "knowledge/download_row_layout.h"
#include "skinui/button.h"
#include "skinui/container.h"
#include "skinui/label.h"
#include "skinui/list_container_element.h"
#include "skinui/progress.h"

namespace appcenter {

// One row of the download manager window: the app's icon, title, progress bar and state line.
class CAppMarketDownloadMngItemUI : public skinui::ListContainerElement {
 public:
  static constexpr char kLayout[] = "AppMarketDownloadMngItem.xml";
  static constexpr int kHeight = 75;

  CAppMarketDownloadMngItemUI(const std::string& skinFolder, std::string appDirectory,
                              const knowledge::RowLog& log);

  // Title = display name, state text empty, progress hidden.
  void SetData(std::u16string appName, std::u16string displayName, std::u16string iconName,
               std::u16string installPackageName);
  void SetState(AppMarketItemState state);
  // Only while the state line is shown.
  void SetStateText(const std::u16string& text);
  void ShowProgress(bool visible);
  void HideButton();
  // The app's icon under Modules, else "webdefault.png".
  void LoadIcon();
  // "下载准备中...", the Downloading state and a fresh bar.
  void OnStarted();
  void OnProgress(std::int32_t total, std::int32_t done);

  const std::u16string& InstallPackageName() const { return installPackageName_; }
  AppMarketItemState State() const { return state_; }

 private:
  std::string appDirectory_;
  std::u16string appName_;
  std::u16string displayName_;
  std::u16string iconName_;
  std::u16string installPackageName_;
  AppMarketItemState state_ = AppMarketItemState::NotInstalled;
  std::int32_t lastDone_ = 0;
  skinui::Label* title_ = nullptr;
  skinui::Button* button_ = nullptr;
  skinui::Container* image_ = nullptr;
  skinui::Progress* progress_ = nullptr;
  skinui::Label* stateInfo_ = nullptr;
};

}  // namespace appcenter
