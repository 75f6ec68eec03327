#pragma once

#include <optional>
#include <string_view>

namespace ui {

// The page of "tluDesktop" that a "quickBar_" option of the main tool bar shows (case
// ignored); nothing for any other name.
std::optional<int> DesktopPageOfQuickBar(std::string_view optionName);

// The page of "tluKnowlege_Desktop" that a "knowlege_quickBar_" option shows: the search
// option returns to the result page once a search has shown it, else to the search home.
std::optional<int> KnowlegeDesktopPageOfQuickBar(std::string_view optionName, bool hasSearchResult);

inline constexpr int kDesktopHomePage = 0;
inline constexpr int kDesktopKnowlegePage = 1;

}  // namespace ui
