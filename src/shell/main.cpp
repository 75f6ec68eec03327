// Entry point of the client program.

#include "core/app_log.h"
#include "core/message_presenter.h"
#include "core/mini_dumper.h"
#include "core/zelk_lib_binding.h"
#include "platform/file_version.h"
#include "platform/headless_message_loop.h"
#include "platform/instance_channel.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/service_host.h"
#include "platform/shell_open.h"
#include "shell/main_frame_host.h"
#include "shell/startup_sequence.h"
#include "shell/termination_signals.h"
#include "skinui/font_setup.h"
#include "skinui/gtk/desktop_choice.h"
#include "skinui/gtk/desktop_display.h"
#include "skinui/gtk/glib_message_loop.h"
#include "skinui/gtk/gtk_backend.h"
#include "skinui/headless_backend.h"
#include "skinui/text_utf.h"

ZELK_EMBED_FILE_VERSION();

namespace {

// Installed before main runs, so that a crash during start-up leaves a dump too.
core::MiniDumper g_miniDumper(true);

// Opened only once the client is sure to run (a start that hands its request over needs no
// display). The skin's font aliases go in before GTK starts. A display that cannot be opened
// leaves the client headless.
bool OpenDesktop(const core::ZelkLibBinding& binding, const std::string& appDirectory) {
  const std::string skin = platform::JoinPath(appDirectory, "Skin/Zelk");
  skinui::LoadFontAliases(platform::JoinPath(skin, "fonts.conf"));
  std::string error;
  const bool opened = skinui::gtk::DesktopDisplay::Open(
      platform::ProgramFileName(),
      [&binding] {
        core::WriteLog(binding, std::u16string_view(u"与桌面显示的连接已断开，Tamsel退出"));
      },
      error);
  if (!opened)
    core::WriteLog(binding, std::u16string_view(u"无法打开桌面显示，Tamsel以无界面方式运行"));
  return opened;
}

std::unique_ptr<platform::MessageLoop> MakeLoop(bool desktop) {
  if (desktop) return std::make_unique<skinui::gtk::GlibMessageLoop>();
  return std::make_unique<platform::HeadlessMessageLoop>();
}

}  // namespace

int main(int argc, char** argv) {
  core::InstallZelkLibHandle(core::ZelkLibBinding::LoadProductLibrary());
  const core::ZelkLibBinding& binding = core::ZelkLibHandle();

  platform::ShellLauncher launcher(platform::ShellLauncher::RecordOnlyFromEnvironment());
  // Real windows when a display is named and headless running is not asked for.
  const bool desktop = skinui::gtk::DesktopRequestedByEnvironment();
  const std::unique_ptr<platform::MessageLoop> loopOwner = MakeLoop(desktop);
  platform::MessageLoop& loop = *loopOwner;
  const shell::TerminationSignals signals(loop);
  core::StandardErrorPresenter presenter(binding);

  shell::StartupSequence startup({
      .binding = binding,
      .appDirectory = platform::ProgramDirectory(),
      .serviceHost = platform::ServiceHost(),
      .loop = loop,
      .launcher = launcher,
      .presenter = presenter,
      .createMainWindow = [&launcher, &binding, desktop](shell::MainWindowContext context)
          -> std::unique_ptr<shell::ClientMainWindow> {
        if (!desktop || !OpenDesktop(binding, context.appDirectory)) {
          auto backend = std::make_unique<skinui::HeadlessBackend>(context.loop);
          return shell::MainFrameHost::Create(std::move(context), std::move(backend), launcher);
        }
        // The web views keep nothing on disk (no folder to fill, nothing of an earlier run to
        // clear); the windows take the product's picture as their icon.
        skinui::gtk::GtkBackendOptions options;
        options.iconFile = platform::JoinPath(context.appDirectory, "Skin/Zelk/main/logo.png");
        auto backend = std::make_unique<skinui::gtk::GtkBackend>(context.loop, options);
        skinui::gtk::GtkBackend& gtk = *backend;
        std::unique_ptr<shell::ClientMainWindow> host =
            shell::MainFrameHost::Create(std::move(context), std::move(backend), launcher);
        // "zelk://" links inside the pages are requests as if a browser had started the
        // program with them. The backend lives inside the host.
        if (shell::ClientMainWindow* window = host.get()) {
          gtk.Web().SetUrlProtocolHandler([window](const std::string& url) {
            window->ProcessUrlProtocol(skinui::Utf8ToUtf16(url));
          });
        }
        return host;
      },
      .startListener = &platform::InstanceListener::start,
      .windowing = {},
      .reportLibraryMissing = &core::WriteToStandardError,
  });
  startup.Run(platform::JoinCommandLine(argc, argv));
  return 0;
}
