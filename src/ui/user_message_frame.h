#pragma once

#include "ui/web_frame.h"

namespace ui {

// The logged-in user's messages.
class CUserMessageFrame final : public CWebFrame {
 public:
  CUserMessageFrame(skinui::UiContext& context, const WebFrameServices& services);

 protected:
  std::optional<std::string> PageAddress() override;
};

}  // namespace ui
