#include "skinui/font_setup.h"

#include <fontconfig/fontconfig.h>

#include <memory>
#include <mutex>
#include <set>

namespace skinui {

bool LoadFontAliases(const std::string& file) {
  // The fontconfig configuration is process-wide; so is the record of what was loaded into it.
  static std::mutex mutex;
  static std::set<std::string> loaded;
  std::lock_guard lock(mutex);
  if (loaded.count(file) != 0) return true;
  FcConfig* config = FcConfigGetCurrent();
  if (config == nullptr) return false;
  if (FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(file.c_str()), FcTrue) !=
      FcTrue) {
    return false;
  }
  loaded.insert(file);
  return true;
}

std::string MatchFontFamily(const std::string& name) {
  std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(
      FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str())), &FcPatternDestroy);
  if (!pattern) return {};
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> match(
      FcFontMatch(nullptr, pattern.get(), &result), &FcPatternDestroy);
  if (!match) return {};
  FcChar8* family = nullptr;
  if (FcPatternGetString(match.get(), FC_FAMILY, 0, &family) != FcResultMatch) return {};
  return reinterpret_cast<const char*>(family);
}

}  // namespace skinui
