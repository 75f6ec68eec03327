#pragma once

#include <string>

#include "devservice/catalogue.h"

namespace devservice {

// The program of a sample app: a shell script that shows that it runs. It prints
// "<display name> <version from Version.txt beside it> 已启动" and appends a line with the
// time and its arguments to run.log beside it.
std::string AppProgramScript(const App& app);

// The app's zip package, built from its manifest in the manifest's order: the program (mode
// 0755), Version.txt with the manifest's text and the icon picture from the data folder.
// Raises std::runtime_error for an entry of unknown kind or an unreadable picture.
std::string MakeAppPackage(const App& app, const Catalogue& catalogue);
// The package of the app's upgrade: the same manifest, Version.txt holding upgradeVersion.
std::string MakeAppUpgradePackage(const App& app, const Catalogue& catalogue);

// The file name and content of the platform runtime installer the app center downloads
// before an app: a script that accepts the silent arguments ("/q /norestart"), says what it
// stands for and succeeds.
inline constexpr char kFrameworkInstallerName[] = "dotNetFx40_Full_x86_x64.exe";
std::string FrameworkInstallerScript();

}  // namespace devservice
