#pragma once

#include "ui/web_frame.h"

namespace ui {

// The window where a user sends the service a remark or a problem.
class CFeedBackFrame final : public CWebFrame {
 public:
  CFeedBackFrame(skinui::UiContext& context, const WebFrameServices& services);

 protected:
  std::optional<std::string> PageAddress() override;
};

}  // namespace ui
