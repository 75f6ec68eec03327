#pragma once

#include <string_view>

namespace ui {

// Control names of the skin are matched without regard to ASCII letter case: a skin edited by
// hand may write "QuickBar_Home" for "quickBar_Home".
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool ContainsNoCase(std::string_view text, std::string_view part);

}  // namespace ui
