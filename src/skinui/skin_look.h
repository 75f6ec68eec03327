#pragma once

#include <cstdint>
#include <string>

namespace skinui {

class Control;

// The look the user chose for the windows' "Root": a plain colour or a background image.
struct SkinLook {
  bool colorMode = false;
  std::uint32_t color = 0;
  std::string image;
};

// Colour mode sets the colour and clears the image; image mode clears the colour and sets the
// image, except that an empty image leaves the control as it is (nothing was ever chosen).
void ApplySkinLook(Control* root, const SkinLook& look);

}  // namespace skinui
