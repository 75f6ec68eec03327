#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "skinui/container.h"

namespace knowledge {

// Where a row's layout and look-up faults are reported (a line of the product log).
using RowLog = std::function<void(const std::string&)>;

// Builds a row layout of the skin folder into `row` as its one child. A layout that cannot be
// built is logged and leaves the row empty: the list still shows the other rows.
void BuildRowLayout(skinui::Container& row, const std::string& skinFolder,
                    const std::string& layout, const RowLog& log);

// The sub-control of that name as T; null, with a log line naming the layout, when the layout
// lacks it or holds it as another class.
template <class T>
T* FindRowControl(skinui::Container& row, std::string_view name, const std::string& layout,
                  const RowLog& log) {
  T* found = dynamic_cast<T*>(row.FindByName(name));
  if (found == nullptr && log) {
    log("行布局 " + layout + " 中缺少控件 " + std::string(name) + " 或其类型不符");
  }
  return found;
}

// The five share buttons of a place of the lists, in the order of their targets: all,
// QQ zone, QQ weibo, Sina, Baidu ("btnShareTo_ShareToAll_For_" + place …).
std::array<std::string, 5> ShareButtonNames(std::string_view place);

// Gives a sub-control the name of its row's position: `baseName` + `separator` + position.
void NameForPosition(skinui::Control* control, const std::string& baseName,
                     std::string_view separator, int position);

}  // namespace knowledge
