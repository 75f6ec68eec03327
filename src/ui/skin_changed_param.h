#pragma once

#include <cstdint>
#include <string>

#include "ui/observer.h"

namespace ui {

// A skin chosen in the skin window: a plain colour (ARGB) or a background image.
struct SkinChangedParam {
  bool colorMode = false;
  std::uint32_t color = 0;
  std::string image;
};

// The process-wide observer of skin changes, created on first use: every window that follows
// the skin joins it.
ObserverImpl<SkinChangedParam>& SkinChangedObserver();

}  // namespace ui
