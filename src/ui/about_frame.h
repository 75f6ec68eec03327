#pragma once

#include "core/zelk_lib_binding.h"
#include "ui/secondary_frame.h"

namespace ui {

// The about window: the product's name with the version of the installed web engine, and a
// soft shadow around it.
class CAboutFrame final : public CSecondaryFrame {
 public:
  CAboutFrame(skinui::UiContext& context, const core::ZelkLibBinding& binding);

  // "关于Tamsel(IE内核:" + the engine's version + ")"; the version may be empty.
  static std::u16string CaptionText(const std::u16string& engineVersion);

 protected:
  void OnCreated() override;
  void Prepare() override;
  void OnClick(const std::string& name) override;

 private:
  const core::ZelkLibBinding& binding_;
};

}  // namespace ui
