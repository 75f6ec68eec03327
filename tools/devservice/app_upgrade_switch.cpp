#include "devservice/app_upgrade_switch.h"

namespace devservice {

bool AppUpgradeSwitch::raise(const App& app) {
  if (app.upgradeVersion.empty()) return false;
  std::lock_guard lock(mutex_);
  raised_.insert(app.appName);
  return true;
}

void AppUpgradeSwitch::lower(const App& app) {
  std::lock_guard lock(mutex_);
  raised_.erase(app.appName);
}

bool AppUpgradeSwitch::isRaised(const App& app) const {
  std::lock_guard lock(mutex_);
  return raised_.contains(app.appName);
}

std::string AppUpgradeSwitch::version(const App& app) const {
  return isRaised(app) ? app.upgradeVersion : app.version;
}

std::string AppUpgradeSwitch::packageName(const App& app) const {
  return isRaised(app) ? app.upgradePackageName : app.installPackageName;
}

}  // namespace devservice
