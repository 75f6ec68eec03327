#pragma once

#include <mutex>
#include <set>
#include <string>

#include "devservice/catalogue.h"

namespace devservice {

// The test switch that raises an app's version: while an app is raised, the app center's
// replies give its upgradeVersion and upgradePackageName (a package the sample files hold
// beside the first one), so that a client with the first version installed sees an upgrade.
// Safe to use from every request thread.
class AppUpgradeSwitch {
 public:
  // False when the app has no upgrade in the catalogue.
  bool raise(const App& app);
  void lower(const App& app);
  bool isRaised(const App& app) const;

  // The version and package the replies give for the app now.
  std::string version(const App& app) const;
  std::string packageName(const App& app) const;

 private:
  mutable std::mutex mutex_;
  std::set<std::string> raised_;  // appName
};

}  // namespace devservice
