#include "updater/update_installer.h"

#include <filesystem>

#include "core/app_directory.h"
#include "core/app_log.h"
#include "core/program_files.h"
#include "core/update_mark.h"
#include "platform/code_page.h"

namespace updater {

UpdateInstaller::UpdateInstaller(const core::ZelkLibBinding& binding, platform::Clock& clock,
                                 platform::ShellLauncher& launcher, std::string appDirectory,
                                 std::function<bool()> clientRuns)
    : binding_(binding),
      clock_(clock),
      launcher_(launcher),
      appDirectory_(std::move(appDirectory)),
      clientRuns_(std::move(clientRuns)) {}

InstallResult UpdateInstaller::Run() {
  core::WriteLog(binding_, std::string_view("ZelkUpdater install Begin"));
  if (!WaitForClientExit()) {
    core::WriteLog(binding_, std::string_view("ZelkUpdater install: client still runs"));
    return InstallResult::ClientStillRuns;
  }
  const InstallResult result = Install();
  StartClient();
  core::WriteLog(binding_, std::string_view("ZelkUpdater install End"));
  return result;
}

bool UpdateInstaller::WaitForClientExit() {
  for (std::int64_t waited = 0; clientRuns_(); waited += kClientPollMs) {
    if (waited >= kClientExitTimeoutMs) return false;
    clock_.sleepMs(kClientPollMs);
  }
  return true;
}

InstallResult UpdateInstaller::Install() {
  const std::string package = core::JoinAppPath(appDirectory_, core::kWaitingPackageRelativePath);
  std::error_code error;
  if (!std::filesystem::is_regular_file(package, error)) {
    core::WriteUpdateMark(appDirectory_, "");
    return InstallResult::NothingWaiting;
  }
  if (!binding_.UnZipFile(platform::Utf8ToUtf16(package), platform::Utf8ToUtf16(appDirectory_))) {
    core::WriteLog(binding_, std::string_view("ZelkUpdater install: package refused"));
    std::filesystem::remove(package, error);
    core::WriteUpdateMark(appDirectory_, "");
    return InstallResult::Failed;
  }
  std::filesystem::remove(package, error);
  core::WriteUpdateMark(appDirectory_, "2");
  return InstallResult::Installed;
}

void UpdateInstaller::StartClient() {
  launcher_.open(
      {"open", core::JoinAppPath(appDirectory_, core::ClientProcessName()), "", appDirectory_});
}

}  // namespace updater
