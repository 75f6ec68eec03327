#pragma once

#include <string_view>

namespace ui {

// What a click on a control of the main window asks for, when it is none of the frame's own
// buttons (close, minimise, maximise, restore, skin, menus, app download manager).
enum class FeatureClick {
  None,
  KnowlegeSearch,
  KnowlegeSearchGoBack,
  KnowlegeHelpForKeyword,
  KnowlegeHelpForUrl,
  KnowlegeHelpForDownload,
  SeeMoreNews,
  CustomerServiceQQ,
  OpenDownloadDir,
  KnowlegeItemDownload,
  AppMarketItem,
  AppMarketSearch,
  HomeAppButton,
  HomeAppEdit,
  KnowlegeDownloaded,
  KnowlegeDownloadMngQuickBar,
  HomeAppPager,
  KnowlegePager,
  AppMarketPager,
  KnowlegeDownloading,
  ShowLoginArea,
  ShowRegisterArea,
  ShowMainArea,
  Login,
  Register,
  ChangePassword,
  ForgetPassword,
  Share,
  Feedback,
  WebHome,
  Help,
  AdNavigation,
  ShowContact,
  ShowUserProfile,
  GetSMSCode,
  NetFramework,
  UserMessage,
};

// The feature click dispatcher: the table's rows are tried in order and the first that matches
// the control name wins. Names are compared without regard to letter case; a prefix row matches
// every name that starts with its text, a "contains" row every name that holds it.
FeatureClick ClassifyFeatureClick(std::string_view controlName);

}  // namespace ui
