#pragma once

#include "ui/web_frame.h"

namespace ui {

// The logged-in user's profile page. Closing it with its close button tells the main window,
// which then loads the avatar again (the page may have changed it).
class CUserProfileFrame final : public CWebFrame {
 public:
  CUserProfileFrame(skinui::UiContext& context, const WebFrameServices& services);

 protected:
  std::optional<std::string> PageAddress() override;
  void OnCloseButton() override;
};

}  // namespace ui
