#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "skinui/skin_look.h"
#include "ui/skin_changed_param.h"

namespace ui {

// The support library keeps the skin as an image-mode flag (1: picture background), a colour
// and an image file name.
struct StoredSkinValues {
  bool imageMode = false;
  std::uint32_t colour = 0;
  std::string image;  // UTF-8
};

// The look to apply at start, or nothing when nothing usable was stored: an image mode without
// an image, or a colour mode whose colour is fully transparent (what the library answers when
// no skin was ever saved; no colour of the skin window is transparent).
std::optional<skinui::SkinLook> LookOfStoredSkin(const StoredSkinValues& stored);

// What a skin choice is saved as.
StoredSkinValues StoredValuesOf(const SkinChangedParam& choice);

// The look a skin choice gives "Root".
skinui::SkinLook LookOf(const SkinChangedParam& choice);

}  // namespace ui
