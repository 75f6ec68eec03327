#pragma once

#include <string>

#include "home/ad_reply.h"
#include "skinui/button.h"
#include "skinui/horizontal_layout.h"

namespace home {

// One tab of the rotating advertisements "tluAd_Desktop": a picture button named "ad_btn_" and
// the advertisement's id, with the advertisement's description as its tooltip.
class CAdTabUI : public skinui::HorizontalLayout {
 public:
  static constexpr char kButtonPrefix[] = "ad_btn_";
  // The skin's picture shown while an advertisement has none of its own.
  static constexpr char kDefaultPicture[] = "AdDefault.jpg";

  explicit CAdTabUI(AdItem item);

  const AdItem& Item() const { return item_; }
  skinui::Button& PictureButton() { return *button_; }
  // A picture file (absolute) or a skin picture's name.
  void SetPicture(const std::string& picture);

 private:
  AdItem item_;
  skinui::Button* button_ = nullptr;
};

}  // namespace home
