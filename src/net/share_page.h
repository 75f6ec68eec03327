#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/zelk_lib_binding.h"

namespace net {

// The social networks a share button sends to; the value is the target's code in button names
// and strips (1 is the leftmost square).
enum class ShareTarget : std::int32_t {
  None = 0,
  All = 1,  // the four networks below, one page each
  QQZone = 2,
  QQWeiBo = 3,
  Sina = 4,
  Baidu = 5,
};

// The service's page codes of a target, in the order the pages open ("qzone", "tqq", "tsina",
// "hi" for all); none for None.
std::vector<std::u16string> SharePageCodes(ShareTarget target);

// The share pages of the service for a target, joined to the service base and escaped whole,
// ready for the browser. `loginSign` is empty when nobody is logged in; an empty `fileName`
// shares the program itself, any other the named file. A page whose URL would be too long is
// left out.
std::vector<std::u16string> SharePageUrls(const core::ZelkLibBinding& lib, ShareTarget target,
                                          const std::u16string& loginSign,
                                          const std::u16string& fileName);

}  // namespace net
