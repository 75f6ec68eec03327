#pragma once

#include <string>
#include <string_view>

#include "core/zelk_lib_binding.h"

namespace appcenter {

// The .NET Framework an app requires, as an integer code: 45, 40, 35, 30, 20, 11, or 0 for no
// requirement.
using DotNetVersion = int;

// The first of "4.5", "4.0", "3.5", "3.0", "2.0", "1.1" found in the text (in that order)
// gives its code; none gives 0. So "4.0" and ".Net Framework 4.0" both give 40.
DotNetVersion DotNetVersionFromText(std::u16string_view text);
// ".Net Framework 4.0" for 40 …; empty for 0 and unknown codes.
std::u16string DotNetVersionName(DotNetVersion code);

// True when the app cannot run yet: the code is a known requirement and none of the frameworks
// from 4.5 down to the required one is installed (asked newest first, stopping at the first
// yes). False for 0 and unknown codes.
bool NeedsDotNetFramework(DotNetVersion code, const core::ZelkLibBinding& lib);

// The framework vendor's download page of the required version: the 4.5 page for 4.5, the 4.0
// page for every other version.
std::u16string FrameworkDownloadPage(DotNetVersion code);

}  // namespace appcenter
