// Entry point of the updater. With "1" it installs the waiting update and restarts the client;
// without parameters it fetches an update the service offers.

#include "platform/clock.h"
#include "platform/file_version.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/service_host.h"
#include "platform/shell_open.h"
#include "shell/app_log.h"
#include "shell/command_line.h"
#include "shell/message_presenter.h"
#include "shell/mini_dumper.h"
#include "shell/program_files.h"
#include "shell/zelk_lib_binding.h"
#include "updater/update_fetcher.h"
#include "updater/update_installer.h"

ZELK_EMBED_FILE_VERSION();

namespace {

shell::MiniDumper g_miniDumper(true);

}  // namespace

int main(int argc, char** argv) {
  shell::InstallZelkLibHandle(shell::ZelkLibBinding::LoadProductLibrary());
  const shell::ZelkLibBinding& binding = shell::ZelkLibHandle();
  if (!binding.loaded()) {
    shell::WriteToStandardError(u"Tamsel初始化核心模块失败，请尝试重新启动Tamsel.");
    return 1;
  }
  const std::string appDirectory = platform::ProgramDirectory();
  const std::string parameters = shell::ReadClientCommandLine(argc, argv);
  try {
    if (parameters == "1") {
      platform::ShellLauncher launcher(platform::ShellLauncher::RecordOnlyFromEnvironment());
      updater::UpdateInstaller installer(
          binding, platform::SystemClock::instance(), launcher, appDirectory, [] {
            return !platform::FindSessionProcessesByFileName(shell::ClientProcessName()).empty();
          });
      installer.Run();
    } else if (parameters.empty()) {
      updater::UpdateFetcher(binding, appDirectory, platform::ServiceHostAndPort()).Run();
    } else {
      shell::WriteLog(binding, std::string("ZelkUpdater: unknown parameters ") + parameters);
      return 2;
    }
  } catch (...) {
    shell::WriteLog(binding, std::string_view("ZelkUpdater ended by an unexpected failure"));
  }
  return 0;
}
