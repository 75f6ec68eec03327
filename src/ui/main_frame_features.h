#pragma once

#include <functional>
#include <memory>

#include "account/account_controller.h"
#include "account/user_center.h"
#include "appcenter/app_center.h"
#include "appcenter/home_app_buttons.h"
#include "core/feature_host.h"
#include "home/home_controller.h"
#include "knowledge/knowledge_lists.h"
#include "knowledge/knowledge_search.h"
#include "ui/secondary_windows.h"
#include "ui/web_pages.h"

namespace ui {

// The features' controllers the main frame owns. Each holds its feature's state for the life of
// the window; the frame's dispatch tables, timers and message handlers call into them.
struct MainFrameFeatures {
  std::unique_ptr<account::AccountController> account;
  std::unique_ptr<account::UserCenter> userCenter;
  std::unique_ptr<knowledge::KnowledgeSearch> knowledgeSearch;
  std::unique_ptr<knowledge::KnowledgeLists> knowledgeLists;
  std::unique_ptr<appcenter::AppCenter> appCenter;
  std::unique_ptr<appcenter::HomeAppButtons> homeAppButtons;
  std::unique_ptr<home::HomeController> home;
  std::unique_ptr<WebPages> webPages;
  std::unique_ptr<SecondaryWindows> windows;
};

// Makes some or all of the controllers for a frame (tests put in their own); the frame makes
// the real one of every controller left empty.
using FeatureFactory = std::function<void(core::FeatureHost& host, MainFrameFeatures& features)>;

// Makes the real controller of every feature that has none yet.
void CompleteFeatures(core::FeatureHost& host, MainFrameFeatures& features);

}  // namespace ui
