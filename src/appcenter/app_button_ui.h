#pragma once

#include <string>

#include "appcenter/app_button_store.h"
#include "appcenter/dot_net_version.h"
#include "skinui/button.h"

namespace appcenter {

// One button of the home grid: the app's icon drawn inside the button, its caption (at most 7
// characters) below, and a corner mark: the delete mark in edit mode, otherwise the New badge
// of an app that needs its upgrade.
class CAppButtonUI : public skinui::Button {
 public:
  static constexpr int kCaptionLength = 7;
  static constexpr char kNamePrefix[] = "btnHomeAppBtn_";

  // Gives the button the look of the entry at that position of the store.
  CAppButtonUI(const AppButtonEntry& entry, int position, const std::string& modulesFolder);

  // Sets the install or upgrade hint and the badge from the files under Modules.
  void Decorate(const core::ZelkLibBinding& lib);

  const std::u16string& AppName() const { return appName_; }
  const std::u16string& ExeFileName() const { return exeFileName_; }
  const std::u16string& Caption() const { return caption_; }
  DotNetVersion NetVersion() const { return netVersion_; }
  // The program and Version.txt below Modules; empty when the stored names would lead outside.
  const std::string& ProgramPath() const { return programPath_; }
  std::string VersionPath() const;
  // The app's folder below Modules; empty for an unusable name.
  std::string AppFolder() const;

  bool showDeleteMark = false;
  bool showNewMark = false;
  bool notInstalled = false;

  // The corner mark's rectangle in window coordinates (for the edit mode's hit test).
  skinui::Rect MarkRect() const;
  bool MarkContains(skinui::Point point) const;

 protected:
  void PaintBkImage(skinui::Painter& painter) override;

 private:
  std::string modulesFolder_;
  std::u16string appName_;
  std::u16string exeFileName_;
  std::u16string imageFileName_;
  std::u16string description_;
  std::u16string netFrameworkVersionName_;
  DotNetVersion netVersion_ = 0;
  std::u16string caption_;
  std::string programPath_;
};

// A path stored relative to Modules ("app/program"), joined to the Modules folder; empty when a
// component is empty, "." or "..", so that a stored name cannot lead outside the folder.
std::string PathBelowModules(const std::string& modulesFolder, const std::u16string& relative);

}  // namespace appcenter
