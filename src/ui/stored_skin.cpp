#include "ui/stored_skin.h"

namespace ui {
namespace {

constexpr std::uint32_t kAlphaMask = 0xFF000000;

}  // namespace

std::optional<skinui::SkinLook> LookOfStoredSkin(const StoredSkinValues& stored) {
  if (stored.imageMode) {
    if (stored.image.empty()) return std::nullopt;
    return skinui::SkinLook{false, 0, stored.image};
  }
  if ((stored.colour & kAlphaMask) == 0) return std::nullopt;
  return skinui::SkinLook{true, stored.colour, {}};
}

StoredSkinValues StoredValuesOf(const SkinChangedParam& choice) {
  return {!choice.colorMode, choice.color, choice.image};
}

skinui::SkinLook LookOf(const SkinChangedParam& choice) {
  return {choice.colorMode, choice.colorMode ? choice.color : 0,
          choice.colorMode ? std::string() : choice.image};
}

}  // namespace ui
