#pragma once

#include "ui/web_frame.h"

namespace ui {

// The window where a logged-in user submits a question to the questions-and-answers service.
class CFAQSubmitQuestionFrame final : public CWebFrame {
 public:
  CFAQSubmitQuestionFrame(skinui::UiContext& context, const WebFrameServices& services);

 protected:
  std::optional<std::string> PageAddress() override;
};

}  // namespace ui
