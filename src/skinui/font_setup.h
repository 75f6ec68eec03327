#pragma once

#include <string>

namespace skinui {

// Loads a fontconfig file (the skin's "fonts.conf", which maps the skin's face names to
// installed simplified-Chinese faces) into the current configuration. It must run before the
// first text is laid out. Loading the same file again does nothing. False when it cannot be
// parsed.
bool LoadFontAliases(const std::string& file);

// The family fontconfig chooses for a face name (for checks and logs).
std::string MatchFontFamily(const std::string& name);

}  // namespace skinui
