#pragma once

#include <string>

#include "core/zelk_lib_binding.h"
#include "ui/secondary_frame.h"

namespace skinui {
class Edit;
}  // namespace skinui

namespace ui {

// The options window: where the knowledge downloads are stored. A folder that does not exist
// is refused and the window stays open; a valid one is stored for the next downloads.
class COptionFrame final : public CSecondaryFrame {
 public:
  static constexpr const char16_t* kMissingFolderText =
      u"下载存放目录所设置的目录不存在，请重新设置.";

  COptionFrame(skinui::UiContext& context, const core::ZelkLibBinding& binding,
               std::string appDirectory);

  // -1 while open, 1 after a folder was stored.
  int Result() const { return result_; }

 protected:
  void Prepare() override;
  void OnClick(const std::string& name) override;

 private:
  void ChooseFolder();
  void SaveOptionData();

  const core::ZelkLibBinding& binding_;
  std::string appDirectory_;
  skinui::Edit* folder_ = nullptr;
  int result_ = -1;
};

}  // namespace ui
