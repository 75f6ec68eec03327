#include "home/app_share_name.h"

namespace home {

std::u16string AppShareName(const std::u16string& displayName) {
  for (const std::u16string_view ending : {u"应用", u"应用工具", u"工具"}) {
    if (displayName.ends_with(ending)) return displayName;
  }
  return displayName + u"应用工具";
}

}  // namespace home
