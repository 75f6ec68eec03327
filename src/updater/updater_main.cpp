// Entry point of the updater. With "1" it installs the waiting update and restarts the client;
// without parameters it fetches an update the service offers.

#include "core/app_log.h"
#include "core/command_line.h"
#include "core/message_presenter.h"
#include "core/mini_dumper.h"
#include "core/program_files.h"
#include "core/zelk_lib_binding.h"
#include "platform/clock.h"
#include "platform/file_version.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/service_host.h"
#include "platform/shell_open.h"
#include "updater/update_fetcher.h"
#include "updater/update_installer.h"

ZELK_EMBED_FILE_VERSION();

namespace {

core::MiniDumper g_miniDumper(true);

}  // namespace

int main(int argc, char** argv) {
  core::InstallZelkLibHandle(core::ZelkLibBinding::LoadProductLibrary());
  const core::ZelkLibBinding& binding = core::ZelkLibHandle();
  if (!binding.loaded()) {
    core::WriteToStandardError(u"Tamsel初始化核心模块失败，请尝试重新启动Tamsel.");
    return 1;
  }
  const std::string appDirectory = platform::ProgramDirectory();
  const std::string parameters = core::ReadClientCommandLine(argc, argv);
  try {
    if (parameters == "1") {
      platform::ShellLauncher launcher(platform::ShellLauncher::RecordOnlyFromEnvironment());
      updater::UpdateInstaller installer(
          binding, platform::SystemClock::instance(), launcher, appDirectory, [] {
            return !platform::FindSessionProcessesByFileName(core::ClientProcessName()).empty();
          });
      installer.Run();
    } else if (parameters.empty()) {
      updater::UpdateFetcher(binding, appDirectory, platform::ServiceHostAndPort()).Run();
    } else {
      core::WriteLog(binding, std::string("ZelkUpdater: unknown parameters ") + parameters);
      return 2;
    }
  } catch (...) {
    core::WriteLog(binding, std::string_view("ZelkUpdater ended by an unexpected failure"));
  }
  return 0;
}
