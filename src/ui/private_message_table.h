#pragma once

#include <cstdint>
#include <string_view>

namespace ui {

// One private message of the main window: its name (for log lines) and whether its handler runs
// with ListMutex held, because it changes lists or download records.
struct PrivateMessageInfo {
  std::uint32_t number = 0;
  std::string_view name;
  bool holdsListMutex = false;
};

// Null for a number that is not a private message of the main window.
const PrivateMessageInfo* FindPrivateMessage(std::uint32_t number);

}  // namespace ui
