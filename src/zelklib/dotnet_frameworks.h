#pragma once

#include <string>
#include <vector>

namespace zelklib {

// The .NET Framework versions the client asks about. On Linux an app built for the framework
// runs on Mono: a Mono whose "4.5" profile is installed runs assemblies of 2.0 to 4.5 (it maps
// the older references onto 4.x); a Mono with only the "4.0" or "2.0" profile runs up to that.
// Version 1.1 has no runtime here. The newer .NET (the "dotnet" host) runs no Framework
// assemblies; it is listed but satisfies no query.
enum class DotNetFramework { V11, V20, V30, V35, V40, V45 };

struct FrameworkInventory {
  std::string monoProfile;                  // "4.5", "4.0", "2.0" or empty without Mono
  std::vector<std::string> dotnetRuntimes;  // versions of Microsoft.NETCore.App
};

// Looks for "mono" and "dotnet" in the folders of a PATH value and reads their installations.
FrameworkInventory DetectFrameworks(const std::string& pathValue);
FrameworkInventory DetectInstalledFrameworks();  // with this process's PATH

bool HasFramework(const FrameworkInventory& inventory, DotNetFramework version);
// "v2.0,v3.0,v3.5,v4.0,v4.5,.NET 8.0.1": the Framework versions that run, then the .NET
// runtimes; empty when there is nothing.
std::string DescribeFrameworks(const FrameworkInventory& inventory);

// Runs a framework installer with its silent arguments ("/q /norestart") in the given folder and
// waits for its end; true when it exited with 0.
bool RunSilentInstaller(const std::string& workingFolder, const std::string& installerPath);

}  // namespace zelklib
