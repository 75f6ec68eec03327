#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <vector>

#include "skinui/builder.h"
#include "skinui/button.h"
#include "skinui/container.h"
#include "skinui/paint_manager.h"

namespace skinui {
namespace {

std::string StagedSkin() {
  const char* app = std::getenv("ZELK_APP_DIR");
  return std::string(app != nullptr ? app : ".") + "/Skin/Zelk";
}

// Every layout of the skin builds without a warning (every image it names exists).
TEST(ShippedLayoutsTest, EveryLayoutBuildsAndEveryImageExists) {
  int layouts = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(StagedSkin())) {
    if (entry.path().extension() != ".xml") continue;
    std::vector<std::string> warnings;
    PaintManager pm;
    BuildOptions options;
    options.resourceDir = StagedSkin();
    options.manager = &pm;
    options.log = [&](const std::string& line) { warnings.push_back(line); };
    const std::string relative = std::filesystem::relative(entry.path(), StagedSkin()).string();
    EXPECT_NO_THROW(Builder(options).Create(relative)) << relative;
    EXPECT_TRUE(warnings.empty()) << relative << ": " << (warnings.empty() ? "" : warnings[0]);
    ++layouts;
  }
  EXPECT_GE(layouts, 2);
}

// The names the library's own windows look up exist with the class they are used as.
TEST(ShippedLayoutsTest, MessageBoxAndNoticeProvideTheirControls) {
  const std::map<std::string, std::vector<std::pair<std::string, std::string>>> expected = {
      {"MessageBox.xml",
       {{"Root", "container"},
        {"hluMessageIcon", "container"},
        {"hluBtnArea", "container"},
        {"hluBtnFillArea", "container"},
        {"btnOK", "button"},
        {"btnCancel", "button"},
        {"closebtn", "button"},
        {"txtTitle", "control"},
        {"txtMessage", "control"}}},
      {"PopupNotifyForm.xml",
       {{"Root", "container"},
        {"closebtn", "button"},
        {"txtTitle", "control"},
        {"txtMessageContent", "control"},
        {"btnMessageContentClick", "button"}}},
  };
  for (const auto& [file, names] : expected) {
    PaintManager pm;
    BuildOptions options;
    options.resourceDir = StagedSkin();
    options.manager = &pm;
    pm.AttachDialog(Builder(options).Create(file));
    for (const auto& [name, kind] : names) {
      if (kind == "container") {
        EXPECT_NE(pm.TryFind<Container>(name), nullptr) << file << " " << name;
      } else if (kind == "button") {
        EXPECT_NE(pm.TryFind<Button>(name), nullptr) << file << " " << name;
      } else {
        EXPECT_NE(pm.TryFind<Control>(name), nullptr) << file << " " << name;
      }
    }
  }
}

}  // namespace
}  // namespace skinui
