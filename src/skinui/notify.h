#pragma once

#include <cstdint>
#include <string>

#include "skinui/geometry.h"

namespace skinui {

class Control;

// One notification of a control to its window: the type names are the library's
// ("windowinit", "click", "selectchanged", "return", "itemclick", "itemselect", "setfocus",
// "killfocus", "textchanged", "tabselect", "timer", "dropdown" …) or, for notifications a
// window sends itself, any text.
struct TNotifyUI {
  std::string sType;
  Control* pSender = nullptr;
  std::int64_t dwTimestamp = 0;
  Point ptMouse;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

// The notification sink of a window.
class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(TNotifyUI& msg) = 0;
};

// Sees every window message before the paint manager; setting `handled` consumes it.
class IMessageFilterUI {
 public:
  virtual ~IMessageFilterUI() = default;
  virtual std::intptr_t MessageHandler(std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam, bool& handled) = 0;
};

}  // namespace skinui
