#pragma once

#include <string>

#include "appcenter/app_market_download_mng_item_ui.h"
#include "knowledge/download_row_layout.h"
#include "skinui/notify.h"
#include "skinui/window.h"

namespace appcenter {

class AppDownloadList;

// The app download manager: a small pop-up under the control it was opened from, listing the
// app downloads of the download list as they were when it opened (rows are made only then) and
// following their progress. It closes as soon as it loses the focus, clears the list's
// reference to it and frees itself (it is handed to the context on opening).
class CAppMarketDownloadMngFrame final : public skinui::Window, public skinui::INotifyUI {
 public:
  static constexpr char kClassName[] = "UIAppMarketDownloadMngFrame";
  static constexpr char kLayout[] = "AppMarketDownloadMngForm.xml";

  CAppMarketDownloadMngFrame(skinui::UiContext& context, skinui::Window& mainWindow,
                             const skinui::Control& opener, AppDownloadList& list,
                             std::string appDirectory, knowledge::RowLog log);
  ~CAppMarketDownloadMngFrame() override;

  // Creates and shows the window and gives it the focus.
  bool Open();
  // The list goes away first (the program ends): the window stops reporting to it.
  void DetachList() { list_ = nullptr; }

  // The row of that package, if any: what the download list's messages change.
  void OnStarted(const std::u16string& name);
  void OnProgress(const std::u16string& name, std::int32_t total, std::int32_t done);
  void RemoveRow(const std::u16string& name);

  std::string GetWindowClassName() const override { return kClassName; }
  std::uint32_t GetClassStyle() const override { return 8; }
  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
  void Notify(skinui::TNotifyUI& msg) override;

 private:
  CAppMarketDownloadMngItemUI* FindRow(const std::u16string& name);
  void Place();
  void FillRows();
  void Forget();

  skinui::Window& mainWindow_;
  skinui::Rect openerPos_;
  AppDownloadList* list_;
  std::string appDirectory_;
  knowledge::RowLog log_;
};

}  // namespace appcenter
