#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/feature_host.h"
#include "net/share_page.h"
#include "skinui/control.h"

namespace knowledge {

// Where share buttons sit; the value is the place's code, its name part is the one of the
// buttons' names.
enum class SharePlace : std::int32_t {
  None = 0,
  HomeRight = 1,
  KnowlegeDownloading = 2,
  KnowlegeDownloaded = 3,
  AppMarketItem = 4,
};

// What a click on a share button names: "btnShareTo_" + target + "_For_" + place + "_" + index.
struct ShareClick {
  net::ShareTarget target = net::ShareTarget::None;
  SharePlace place = SharePlace::None;
  int index = 0;  // 0 when the name holds no number there
  bool operator==(const ShareClick&) const = default;
};

// "btnShareTo_ShareToSina_For_AppMarketItem_3" and the like.
std::string ShareButtonName(net::ShareTarget target, SharePlace place, int index);

// Gives a share button its look and name: no text, the target's square of the 16 or 32 pixel
// strip, the target's tooltip, that size, and the name of the place and index.
void SetUpShareButton(skinui::Control& button, bool large, net::ShareTarget target,
                      SharePlace place, int index);

// Reads target, place and index from a share button's name (the first target and place whose
// name part it contains).
ShareClick ParseShareButtonName(std::string_view name);

// Opens the target's share pages in the browser: the program itself when `fileName` is empty,
// else the named file. `loginSign` is the logged-in user's, empty when nobody is.
void Share(core::FeatureHost& host, net::ShareTarget target, const std::u16string& loginSign,
           const std::u16string& fileName);

}  // namespace knowledge
