#include "core/program_files.h"

#include "platform/dynamic_library.h"

namespace core {

std::string ClientProcessName() {
  return platform::ExecutableFileName("Zelk");
}

std::string UpdaterProcessName() {
  return platform::ExecutableFileName("ZelkUpdater");
}

std::string OldUpdaterFileName() {
  return UpdaterProcessName() + ".old";
}

std::string WaitingUpdaterRelativePath() {
  return std::string(kWaitingFolder) + "/" + UpdaterProcessName();
}

}  // namespace core
