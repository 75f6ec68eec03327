#include "devservice/app_packages.h"

#include <stdexcept>
#include <vector>

#include "devservice/zip_writer.h"
#include "platform/paths.h"

namespace devservice {

namespace {

// A text inside single quotes of the shell, whatever it holds.
std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace

std::string AppProgramScript(const App& app) {
  return "#!/bin/sh\n"
         "# " +
         app.appName +
         ": a sample app of the Tamsel development service. It shows that it runs.\n"
         "name=" +
         ShellQuoted(app.displayName) +
         "\n"
         "here=$(cd \"$(dirname \"$0\")\" && pwd)\n"
         "version=$(head -n 1 \"$here/Version.txt\" 2>/dev/null)\n"
         "echo \"$name $version 已启动\"\n"
         "echo \"$(date '+%Y-%m-%d %H:%M:%S') $name $version $*\" >> \"$here/run.log\" "
         "2>/dev/null || true\n"
         "exit 0\n";
}

std::string MakeAppPackage(const App& app, const Catalogue& catalogue) {
  std::vector<ZipEntry> entries;
  for (const PackageEntry& entry : app.package) {
    if (entry.kind == "program") {
      entries.push_back(ZipEntry{entry.path, AppProgramScript(app), false, 0755});
    } else if (entry.kind == "version") {
      entries.push_back(ZipEntry{entry.path, entry.content});
    } else if (entry.kind == "icon") {
      std::string picture;
      if (!platform::ReadWholeFile(catalogue.pathOf(entry.source), picture)) {
        throw std::runtime_error("cannot read " + entry.source + " for " + app.appName);
      }
      entries.push_back(ZipEntry{entry.path, std::move(picture)});
    } else {
      throw std::runtime_error("unknown package entry kind \"" + entry.kind + "\" of " +
                               app.appName);
    }
  }
  return BuildZip(entries);
}

std::string MakeAppUpgradePackage(const App& app, const Catalogue& catalogue) {
  App upgraded = app;
  upgraded.version = app.upgradeVersion;
  for (PackageEntry& entry : upgraded.package) {
    if (entry.kind == "version") entry.content = app.upgradeVersion + "\n";
  }
  return MakeAppPackage(upgraded, catalogue);
}

std::string FrameworkInstallerScript() {
  return "#!/bin/sh\n"
         "# Stands in for the .NET Framework 4.0 installer in the Tamsel development service:\n"
         "# it takes the silent arguments, installs nothing and succeeds.\n"
         "echo \"Microsoft .Net Framework 4.0 (示例安装程序) $*\"\n"
         "exit 0\n";
}

}  // namespace devservice
