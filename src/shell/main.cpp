// Entry point of the client program.

#include "platform/file_version.h"
#include "platform/headless_message_loop.h"
#include "platform/instance_channel.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/service_host.h"
#include "platform/shell_open.h"
#include "shell/message_presenter.h"
#include "shell/mini_dumper.h"
#include "shell/startup_sequence.h"
#include "shell/termination_signals.h"
#include "shell/zelk_lib_binding.h"
#include "skinui/headless_backend.h"
#include "ui/main_frame_host.h"

ZELK_EMBED_FILE_VERSION();

namespace {

// Installed before main runs, so that a crash during start-up leaves a dump too.
shell::MiniDumper g_miniDumper(true);

}  // namespace

int main(int argc, char** argv) {
  shell::InstallZelkLibHandle(shell::ZelkLibBinding::LoadProductLibrary());
  const shell::ZelkLibBinding& binding = shell::ZelkLibHandle();

  platform::ShellLauncher launcher(platform::ShellLauncher::RecordOnlyFromEnvironment());
  platform::HeadlessMessageLoop loop;
  const shell::TerminationSignals signals(loop);
  shell::StandardErrorPresenter presenter(binding);

  shell::StartupSequence startup({
      .binding = binding,
      .appDirectory = platform::ProgramDirectory(),
      .serviceHost = platform::ServiceHost(),
      .loop = loop,
      .launcher = launcher,
      .presenter = presenter,
      .createMainWindow =
          [&launcher](shell::MainWindowContext context) -> std::unique_ptr<shell::ClientMainWindow> {
        auto backend = std::make_unique<skinui::HeadlessBackend>(context.loop);
        return ui::MainFrameHost::Create(std::move(context), std::move(backend), launcher);
      },
      .startListener = &platform::InstanceListener::start,
      .windowing = {},
      .reportLibraryMissing = &shell::WriteToStandardError,
  });
  startup.Run(platform::JoinCommandLine(argc, argv));
  return 0;
}
