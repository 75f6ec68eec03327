#include "ui/quick_bar_pages.h"

#include <array>

#include "ui/name_match.h"

namespace ui {
namespace {

constexpr std::string_view kQuickBarPrefix = "quickBar_";
constexpr std::array<std::string_view, 10> kDesktopPages = {
    "quickBar_Home",       "quickBar_Knowlege",        "quickBar_AppMarket",
    "quickBar_FAQ",        "quickBar_ProjectTemplate", "quickBar_Video",
    "quickBar_Game",       "quickBar_Navigate",        "quickBar_ShareEachDay",
    "quickBar_Cooperation"};

}  // namespace

std::optional<int> DesktopPageOfQuickBar(std::string_view optionName) {
  if (!StartsWithNoCase(optionName, kQuickBarPrefix)) return std::nullopt;
  for (std::size_t page = 0; page < kDesktopPages.size(); ++page) {
    if (EqualsNoCase(optionName, kDesktopPages[page])) return static_cast<int>(page);
  }
  return std::nullopt;
}

std::optional<int> KnowlegeDesktopPageOfQuickBar(std::string_view optionName,
                                                 bool hasSearchResult) {
  if (EqualsNoCase(optionName, "knowlege_quickBar_Search")) return hasSearchResult ? 1 : 0;
  if (EqualsNoCase(optionName, "knowlege_quickBar_downloding")) return 2;
  // The skin's name, with its doubled underscore.
  if (EqualsNoCase(optionName, "knowlege_quickBar__downloded")) return 3;
  return std::nullopt;
}

}  // namespace ui
