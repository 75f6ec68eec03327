#include "ui/click_dispatcher.h"

#include <array>

#include "ui/name_match.h"

namespace ui {
namespace {

enum class Match { Exact, Prefix, Contains };

struct Row {
  Match match;
  std::string_view text;
  FeatureClick action;
};

// Order matters: row by row as the feature table lists them.
constexpr std::array kRows = {
    Row{Match::Exact, "btnKnowlegeSearchSearch", FeatureClick::KnowlegeSearch},
    Row{Match::Exact, "btnKnowlegeSearchResultSearch", FeatureClick::KnowlegeSearch},
    Row{Match::Exact, "btnKnowlegeSearchResultGoBack", FeatureClick::KnowlegeSearchGoBack},
    Row{Match::Exact, "btnKnowlegeSearchHelpForKeyword", FeatureClick::KnowlegeHelpForKeyword},
    Row{Match::Exact, "btnKnowlegeSearchHelpForUrl", FeatureClick::KnowlegeHelpForUrl},
    Row{Match::Exact, "btnKnowlegeSearchHelpForDownload", FeatureClick::KnowlegeHelpForDownload},
    Row{Match::Exact, "btnSeeMoreNews", FeatureClick::SeeMoreNews},
    Row{Match::Exact, "btnOpenCustomerServiceQQ", FeatureClick::CustomerServiceQQ},
    Row{Match::Exact, "btnOpenDownloadDir", FeatureClick::OpenDownloadDir},
    Row{Match::Prefix, "btnKnowlegeItemDownload_", FeatureClick::KnowlegeItemDownload},
    Row{Match::Prefix, "btnAppMarketItem_", FeatureClick::AppMarketItem},
    Row{Match::Exact, "btnAppMarketSearch", FeatureClick::AppMarketSearch},
    Row{Match::Prefix, "btnHomeAppBtn_", FeatureClick::HomeAppButton},
    Row{Match::Exact, "btnHomeAppEdit", FeatureClick::HomeAppEdit},
    Row{Match::Prefix, "btnKnowlegeDownloaded_", FeatureClick::KnowlegeDownloaded},
    Row{Match::Prefix, "knowlege_downloadmng_quickBar_", FeatureClick::KnowlegeDownloadMngQuickBar},
    Row{Match::Prefix, "ouHomApp_", FeatureClick::HomeAppPager},
    Row{Match::Prefix, "ouKnowlege_", FeatureClick::KnowlegePager},
    Row{Match::Prefix, "ouAppMarket_", FeatureClick::AppMarketPager},
    Row{Match::Prefix, "btnKnowlegeDownloading_", FeatureClick::KnowlegeDownloading},
    Row{Match::Exact, "btnLogin", FeatureClick::ShowLoginArea},
    Row{Match::Exact, "btnLoginForRegister", FeatureClick::ShowLoginArea},
    Row{Match::Exact, "btnRegister", FeatureClick::ShowRegisterArea},
    Row{Match::Exact, "btnRegisterForLogin", FeatureClick::ShowRegisterArea},
    Row{Match::Exact, "btnRegisterExForLogin", FeatureClick::ShowRegisterArea},
    Row{Match::Exact, "btnCancelForLogin", FeatureClick::ShowMainArea},
    Row{Match::Exact, "btnCancelForRegister", FeatureClick::ShowMainArea},
    Row{Match::Exact, "btnCancelForChangePassword", FeatureClick::ShowMainArea},
    Row{Match::Exact, "btnLoginForLogin", FeatureClick::Login},
    Row{Match::Exact, "btnRegisterForRegister", FeatureClick::Register},
    Row{Match::Exact, "btnChangePassword", FeatureClick::ChangePassword},
    Row{Match::Exact, "btnForgetPasswordForLogin", FeatureClick::ForgetPassword},
    Row{Match::Contains, "btnShareTo_Share", FeatureClick::Share},
    Row{Match::Exact, "feedbackbtn", FeatureClick::Feedback},
    Row{Match::Exact, "webhomebtn", FeatureClick::WebHome},
    Row{Match::Exact, "helpbtn", FeatureClick::Help},
    Row{Match::Prefix, "ad_btn_", FeatureClick::AdNavigation},
    Row{Match::Exact, "btnShowContactFrame", FeatureClick::ShowContact},
    Row{Match::Exact, "btnUserImageForUserCenter", FeatureClick::ShowUserProfile},
    Row{Match::Exact, "btnGetSMSCodeForRegister", FeatureClick::GetSMSCode},
    Row{Match::Prefix, "btnNetFrameworkForAppMarketItem_", FeatureClick::NetFramework},
    Row{Match::Exact, "btnUserMessage", FeatureClick::UserMessage},
};

bool Matches(const Row& row, std::string_view name) {
  switch (row.match) {
    case Match::Exact:
      return EqualsNoCase(name, row.text);
    case Match::Prefix:
      return StartsWithNoCase(name, row.text);
    case Match::Contains:
      return ContainsNoCase(name, row.text);
  }
  return false;
}

}  // namespace

FeatureClick ClassifyFeatureClick(std::string_view controlName) {
  for (const Row& row : kRows) {
    if (Matches(row, controlName)) return row.action;
  }
  return FeatureClick::None;
}

}  // namespace ui
