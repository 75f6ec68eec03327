#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "appcenter/app_button_store.h"
#include "core/feature_host.h"
#include "skinui/geometry.h"

namespace appcenter {

// The home page's buttons of installed apps: their store, their pages sized to the window, the
// edit mode (delete marks, all buttons on one page) and the version check of installed apps.
// Owned by the main frame, which calls these operations from its start-up steps, dispatch
// tables and message handlers.
class HomeAppButtons {
 public:
  // Opens the app center searched for a text (a missing or outdated app's name).
  using AppSearch = std::function<void(const std::u16string&)>;

  // Creates the store file with its defaults when the program folder has none.
  explicit HomeAppButtons(core::FeatureHost& host);
  virtual ~HomeAppButtons();
  HomeAppButtons(const HomeAppButtons&) = delete;
  HomeAppButtons& operator=(const HomeAppButtons&) = delete;

  void SetAppSearch(AppSearch search) { appSearch_ = std::move(search); }
  AppButtonStore& Store() { return store_; }

  // Asks the service for the versions of the installed apps and marks outdated copies.
  virtual void CheckAppVersions();
  // Lays the grid out again in the current mode.
  virtual void DoRefreshHomeAppButtons();
  virtual void OnHomeAppClick(const std::string& name, skinui::Point point);
  virtual void ToggleHomeAppEditMode();
  virtual void OnHomeAppPagerClick(const std::string& name);

  // Rebuilds the grid from the store: columns and rows from the window, one page (all buttons
  // in edit mode), the pager.
  void RefreshHomeApps(bool editMode);

  bool EditMode() const { return editMode_; }
  int PageIndex() const { return pageIndex_; }
  int PageCount() const { return pageCount_; }
  int PageSize() const { return pageSize_; }
  int Columns() const { return columns_; }
  // True while the grid is being filled; the version check waits for it.
  bool Building() const { return building_->load(); }

 protected:
  core::FeatureHost& host_;

 private:
  int HeightOf(const char* name);
  int WidthOf(const char* name);
  void LayoutPager();
  void Message(const std::u16string& text);

  AppButtonStore store_;
  std::string modulesFolder_;
  AppSearch appSearch_;
  int pageIndex_ = 1;
  int pageCount_ = 0;
  int pageSize_ = 0;
  int buttonCount_ = 0;
  int columns_ = 0;
  bool editMode_ = false;
  // Read by the version check's worker while the window thread fills the grid; shared so that
  // a worker still waiting never reads a flag that has gone.
  std::shared_ptr<std::atomic<bool>> building_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace appcenter
