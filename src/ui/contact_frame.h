#pragma once

#include "ui/secondary_frame.h"

namespace ui {

// The window that invites the user to reach the service's people (instant messaging, mail,
// the web site), with a soft shadow around it.
class CContactFrame final : public CSecondaryFrame {
 public:
  explicit CContactFrame(skinui::UiContext& context);

 protected:
  void OnCreated() override;
  void Prepare() override;
  void OnClick(const std::string& name) override;
};

}  // namespace ui
