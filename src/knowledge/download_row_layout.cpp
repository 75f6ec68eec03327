#include "knowledge/download_row_layout.h"

#include <exception>

#include "skinui/builder.h"

namespace knowledge {

void BuildRowLayout(skinui::Container& row, const std::string& skinFolder,
                    const std::string& layout, const RowLog& log) {
  skinui::BuildOptions options;
  options.resourceDir = skinFolder;
  options.log = log;
  try {
    row.Add(skinui::Builder(options).Create(layout));
  } catch (const std::exception& e) {
    if (log) log("无法加载行布局 " + layout + ": " + e.what());
  }
}

std::array<std::string, 5> ShareButtonNames(std::string_view place) {
  const std::string suffix = "_For_" + std::string(place);
  return {"btnShareTo_ShareToAll" + suffix, "btnShareTo_ShareToQQZone" + suffix,
          "btnShareTo_ShareToQQWeiBo" + suffix, "btnShareTo_ShareToSina" + suffix,
          "btnShareTo_ShareToBaidu" + suffix};
}

void NameForPosition(skinui::Control* control, const std::string& baseName,
                     std::string_view separator, int position) {
  if (control != nullptr) {
    control->SetName(baseName + std::string(separator) + std::to_string(position));
  }
}

}  // namespace knowledge
