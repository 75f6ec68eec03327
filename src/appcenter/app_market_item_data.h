#pragma once

#include <cstdint>
#include <string>

#include "appcenter/dot_net_version.h"

namespace appcenter {

// What the service says about one app (texts as shown, converted from the system code page).
struct AppMarketItemData {
  std::int32_t id = 0;
  std::u16string appName;  // folder under Modules; the app's key everywhere
  std::u16string displayName;
  std::u16string developer;
  std::u16string version;  // compared with the installed Version.txt
  std::u16string iconName;
  std::u16string iconUrl;
  std::u16string installPackageName;  // file on the file server; the key of the app's download
  std::u16string exeName;
  std::u16string remark;
  DotNetVersion netVersion = 0;
  std::u16string netVersionName;
};

// The description shown for a remark: lower-cased, cleaned for display, cut to 120 characters.
std::u16string AppDescription(std::u16string_view remark);

// A name the service gave, made one safe file-name component (UTF-8); empty when nothing
// usable remains ("", ".", "..").
std::string SafeFileName(const std::u16string& name);

// Where an app lives below a program folder. Every part is a sanitised name; a path is empty
// when a name it needs is unusable, and nothing is then read or written for it.
struct AppPaths {
  std::string folder;   // <program>/Modules/<appName>
  std::string program;  // <folder>/<exeName>
  std::string version;  // <folder>/Version.txt
  std::string icon;     // <folder>/<iconName>
};
AppPaths PathsOf(const std::string& appDirectory, const AppMarketItemData& data);

}  // namespace appcenter
