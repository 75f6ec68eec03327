#include "ui/option_frame.h"

#include "core/app_directory.h"
#include "skinui/edit.h"
#include "skinui/lib_message_box.h"
#include "skinui/ui_context.h"

namespace ui {

COptionFrame::COptionFrame(skinui::UiContext& context, const core::ZelkLibBinding& binding,
                           std::string appDirectory)
    : CSecondaryFrame(context, "UIOptionFrame", "OptionForm.xml"),
      binding_(binding),
      appDirectory_(std::move(appDirectory)) {}

void COptionFrame::Prepare() {
  folder_ = paintManager_.FindOrLog<skinui::Edit>("txtKnowlegeDownloadStorePath");
  result_ = -1;
  ApplyStoredSkin();
  if (folder_ == nullptr) return;
  std::u16string stored = binding_.LoadOptionData(binding_.programDirectory());
  if (stored.empty()) {
    stored = core::AnsiTextToWide(core::JoinAppPath(appDirectory_, "Downloads\\Knowlege"));
  }
  folder_->SetText(stored);
}

void COptionFrame::OnClick(const std::string& name) {
  if (name == "btnSelectPathForKnowlegeDownloadStorePath") {
    ChooseFolder();
  } else if (name == "btnOK") {
    SaveOptionData();
  } else if (name == "btnCancel") {
    ShowWindow(false);
  }
}

void COptionFrame::ChooseFolder() {
  if (folder_ == nullptr) return;
  const auto chosen =
      GetContext().Backend().BrowseForFolder(*this, u"请选择资料下载存放目录", folder_->GetText());
  if (chosen) folder_->SetText(*chosen);
}

void COptionFrame::SaveOptionData() {
  if (folder_ == nullptr) return;
  const std::u16string folder = folder_->GetText();
  if (folder.empty() || !binding_.PathExist(folder)) {
    skinui::ShowLibMessageBox(nullptr, 0, 0, kMissingFolderText, 160, false);
    return;
  }
  binding_.SaveOptionData(binding_.programDirectory(), folder);
  result_ = 1;
  ShowWindow(false);
}

}  // namespace ui
