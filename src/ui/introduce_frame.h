#pragma once

#include "ui/web_frame.h"

namespace ui {

// The introduction of the version's new features, a page shipped in the program folder. Its page
// may close it or lead the user to the main area.
class CIntroduceFrame final : public CWebFrame {
 public:
  static constexpr const char* kPage = "Introduce/Introduce.html";

  CIntroduceFrame(skinui::UiContext& context, const WebFrameServices& services);

 protected:
  std::optional<std::string> PageAddress() override;
  void OnCreated() override;
  void OnPageCommand(const std::u16string& command) override;
};

}  // namespace ui
