#pragma once

#include <string_view>

namespace ui {

// Enter in an edit of the login or register area moves the focus along the area's fields as
// Tab would: the control after `controlName` in its chain, or empty when the name is the last
// of its chain or in none.
std::string_view NextInEnterChain(std::string_view controlName);

}  // namespace ui
