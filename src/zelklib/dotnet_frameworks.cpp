#include "zelklib/dotnet_frameworks.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "zelklib/child_process.h"
#include "zelklib/file_ops.h"

namespace fs = std::filesystem;

namespace zelklib {
namespace {

// The installation prefix of a program found at <prefix>/bin/<name> (links resolved).
std::string installationPrefix(const std::string& program) {
  std::error_code error;
  const fs::path real = fs::canonical(program, error);
  if (error) return {};
  return real.parent_path().parent_path().string();
}

std::string monoProfileOf(const std::string& monoProgram) {
  const std::string lib = JoinFolder(JoinFolder(installationPrefix(monoProgram), "lib"), "mono");
  for (const char* profile : {"4.5", "4.0", "2.0"}) {
    if (IsFolder(JoinFolder(lib, profile))) return profile;
  }
  return {};
}

std::vector<std::string> dotnetRuntimesOf(const std::string& dotnetProgram) {
  // The host lives in the root of its installation (often linked from /usr/bin).
  std::error_code error;
  const fs::path root = fs::canonical(dotnetProgram, error).parent_path();
  std::vector<std::string> versions;
  if (error) return versions;
  fs::directory_iterator it(root / "shared" / "Microsoft.NETCore.App", error);
  if (error) return versions;
  for (const auto& entry : it) {
    if (entry.is_directory(error)) versions.push_back(entry.path().filename().string());
  }
  std::sort(versions.begin(), versions.end());
  return versions;
}

int profileRank(const std::string& profile) {
  if (profile == "4.5") return 3;
  if (profile == "4.0") return 2;
  if (profile == "2.0") return 1;
  return 0;
}

}  // namespace

FrameworkInventory DetectFrameworks(const std::string& pathValue) {
  FrameworkInventory inventory;
  if (const auto mono = FindOnPath("mono", pathValue)) inventory.monoProfile = monoProfileOf(*mono);
  if (const auto dotnet = FindOnPath("dotnet", pathValue))
    inventory.dotnetRuntimes = dotnetRuntimesOf(*dotnet);
  return inventory;
}

FrameworkInventory DetectInstalledFrameworks() {
  const char* path = std::getenv("PATH");
  return DetectFrameworks(path != nullptr ? path : "");
}

bool HasFramework(const FrameworkInventory& inventory, DotNetFramework version) {
  const int rank = profileRank(inventory.monoProfile);
  switch (version) {
    case DotNetFramework::V11:
      return false;
    case DotNetFramework::V20:
    case DotNetFramework::V30:
    case DotNetFramework::V35:
      return rank >= 1;
    case DotNetFramework::V40:
      return rank >= 2;
    case DotNetFramework::V45:
      return rank >= 3;
  }
  return false;
}

std::string DescribeFrameworks(const FrameworkInventory& inventory) {
  std::vector<std::string> parts;
  const std::pair<DotNetFramework, const char*> names[] = {{DotNetFramework::V20, "v2.0"},
                                                           {DotNetFramework::V30, "v3.0"},
                                                           {DotNetFramework::V35, "v3.5"},
                                                           {DotNetFramework::V40, "v4.0"},
                                                           {DotNetFramework::V45, "v4.5"}};
  for (const auto& [version, name] : names) {
    if (HasFramework(inventory, version)) parts.push_back(name);
  }
  for (const auto& runtime : inventory.dotnetRuntimes) parts.push_back(".NET " + runtime);
  std::string text;
  for (const auto& part : parts) text += (text.empty() ? "" : ",") + part;
  return text;
}

bool RunSilentInstaller(const std::string& workingFolder, const std::string& installerPath) {
  if (!IsFile(installerPath)) return false;
  const auto outcome = RunProgram(installerPath, {"/q", "/norestart"},
                                  IsFolder(workingFolder) ? workingFolder : "", false);
  return outcome && outcome->exitCode == 0;
}

}  // namespace zelklib
