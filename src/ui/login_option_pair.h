#pragma once

#include <optional>
#include <string_view>

namespace ui {

// A change of the other option of a login pair ("remember password" and "log in
// automatically"): automatic login needs a remembered password.
struct PairedOptionChange {
  std::string_view option;
  bool selected = false;
};

// What unticking or ticking `option` does to its partner: unticking "remember" unticks
// "auto", ticking "auto" ticks "remember"; nothing otherwise.
std::optional<PairedOptionChange> PairedOptionRule(std::string_view option, bool selected);

}  // namespace ui
