#include "home/ad_tab_ui.h"

#include <memory>

#include "net/text_conversion.h"

namespace home {

CAdTabUI::CAdTabUI(AdItem item) : item_(std::move(item)) {
  auto button = std::make_unique<skinui::Button>();
  button->SetAttribute("width", "0");
  button->SetAttribute("height", "0");
  button->SetName(kButtonPrefix + std::to_string(item_.id));
  button->SetToolTip(net::AnsiToWide(item_.adDesc));
  button_ = static_cast<skinui::Button*>(Add(std::move(button)));
}

void CAdTabUI::SetPicture(const std::string& picture) {
  button_->SetBkImage(picture);
}

}  // namespace home
