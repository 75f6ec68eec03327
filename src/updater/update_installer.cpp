#include "updater/update_installer.h"

#include <filesystem>

#include "platform/code_page.h"
#include "shell/app_directory.h"
#include "shell/app_log.h"
#include "shell/program_files.h"
#include "shell/update_mark.h"

namespace updater {

UpdateInstaller::UpdateInstaller(const shell::ZelkLibBinding& binding, platform::Clock& clock,
                                 platform::ShellLauncher& launcher, std::string appDirectory,
                                 std::function<bool()> clientRuns)
    : binding_(binding),
      clock_(clock),
      launcher_(launcher),
      appDirectory_(std::move(appDirectory)),
      clientRuns_(std::move(clientRuns)) {}

InstallResult UpdateInstaller::Run() {
  shell::WriteLog(binding_, std::string_view("ZelkUpdater install Begin"));
  if (!WaitForClientExit()) {
    shell::WriteLog(binding_, std::string_view("ZelkUpdater install: client still runs"));
    return InstallResult::ClientStillRuns;
  }
  const InstallResult result = Install();
  StartClient();
  shell::WriteLog(binding_, std::string_view("ZelkUpdater install End"));
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
  const std::string package = shell::JoinAppPath(appDirectory_, shell::kWaitingPackageRelativePath);
  std::error_code error;
  if (!std::filesystem::is_regular_file(package, error)) {
    shell::WriteUpdateMark(appDirectory_, "");
    return InstallResult::NothingWaiting;
  }
  if (!binding_.UnZipFile(platform::Utf8ToUtf16(package), platform::Utf8ToUtf16(appDirectory_))) {
    shell::WriteLog(binding_, std::string_view("ZelkUpdater install: package refused"));
    std::filesystem::remove(package, error);
    shell::WriteUpdateMark(appDirectory_, "");
    return InstallResult::Failed;
  }
  std::filesystem::remove(package, error);
  shell::WriteUpdateMark(appDirectory_, "2");
  return InstallResult::Installed;
}

void UpdateInstaller::StartClient() {
  launcher_.open(
      {"open", shell::JoinAppPath(appDirectory_, shell::ClientProcessName()), "", appDirectory_});
}

}  // namespace updater
