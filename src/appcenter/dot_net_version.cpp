#include "appcenter/dot_net_version.h"

#include <array>
#include <utility>

namespace appcenter {
namespace {

struct Known {
  std::u16string_view marker;
  DotNetVersion code;
  bool (core::ZelkLibBinding::*installed)() const;
};

// Newest first: the order both of the text search and of the installation test.
constexpr std::array<Known, 6> kKnown = {{
    {u"4.5", 45, &core::ZelkLibBinding::HasInstallDotNetFrameworkV45},
    {u"4.0", 40, &core::ZelkLibBinding::HasInstallDotNetFrameworkV40},
    {u"3.5", 35, &core::ZelkLibBinding::HasInstallDotNetFrameworkV35},
    {u"3.0", 30, &core::ZelkLibBinding::HasInstallDotNetFrameworkV30},
    {u"2.0", 20, &core::ZelkLibBinding::HasInstallDotNetFrameworkV20},
    {u"1.1", 11, &core::ZelkLibBinding::HasInstallDotNetFrameworkV11},
}};

constexpr char16_t kVendorPage[] = u"https://www.microsoft.com/zh-cn/download/details.aspx";

}  // namespace

DotNetVersion DotNetVersionFromText(std::u16string_view text) {
  for (const Known& known : kKnown) {
    if (text.find(known.marker) != std::u16string_view::npos) return known.code;
  }
  return 0;
}

std::u16string DotNetVersionName(DotNetVersion code) {
  for (const Known& known : kKnown) {
    if (known.code == code) return u".Net Framework " + std::u16string(known.marker);
  }
  return {};
}

bool NeedsDotNetFramework(DotNetVersion code, const core::ZelkLibBinding& lib) {
  bool known = false;
  for (const Known& candidate : kKnown) known = known || candidate.code == code;
  if (!known) return false;
  for (const Known& candidate : kKnown) {
    if ((lib.*candidate.installed)()) return false;
    if (candidate.code == code) break;
  }
  return true;
}

std::u16string FrameworkDownloadPage(DotNetVersion code) {
  return std::u16string(kVendorPage) + (code == 45 ? u"?id=30653" : u"?id=17718");
}

}  // namespace appcenter
