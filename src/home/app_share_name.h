#pragma once

#include <string>

namespace home {

// The name an app is shared under: its display name when that already says it is an app or a
// tool ("应用", "应用工具", "工具" at its end), else the display name followed by "应用工具".
std::u16string AppShareName(const std::u16string& displayName);

}  // namespace home
