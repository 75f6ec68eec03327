// Entry point of the client program.

#include <cstdio>
#include <cstdlib>

#include "core/app_log.h"
#include "core/message_presenter.h"
#include "core/mini_dumper.h"
#include "core/zelk_lib_binding.h"
#include "platform/code_page.h"
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
#include "shell/window_library.h"
#include "skinui/font_setup.h"
#include "skinui/gtk/desktop_choice.h"
#include "skinui/gtk/desktop_display.h"
#include "skinui/gtk/glib_message_loop.h"
#include "skinui/gtk/gtk_backend.h"
#include "skinui/headless_backend.h"
#include "skinui/image_prefetch.h"
#include "skinui/text_utf.h"
#include "ui/main_frame.h"

ZELK_EMBED_FILE_VERSION();

namespace {

// Installed before main runs, so that a crash during start-up leaves a dump too.
core::MiniDumper g_miniDumper(true);

// Before any window library exists: the desktop's own dialog when a display opens, and
// standard error in any case (there is no log without the support library).
void ReportLibraryMissing(bool desktop, const std::u16string& text) {
  core::WriteToStandardError(text);
  if (desktop) {
    skinui::gtk::DesktopDisplay::ShowPlainMessage(platform::ProgramFileName(), "Tamsel",
                                                  platform::Utf16ToUtf8(text));
  }
}

// The skin's font aliases go in before GTK starts. A display that cannot be opened leaves the
// client headless.
bool OpenDesktop(const core::ZelkLibBinding& binding, const std::string& skinFolder) {
  skinui::LoadFontAliases(platform::JoinPath(skinFolder, "fonts.conf"));
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

// Opened only once the client is sure to run (a start that hands its request over or starts
// the updater needs no display). `gtk` is set when the windows are real ones.
std::unique_ptr<shell::WindowLibrary> OpenWindowLibrary(
    platform::MessageLoop& loop, const std::string& skinFolder, const core::ZelkLibBinding& binding,
    platform::ShellLauncher& launcher, bool desktop, skinui::gtk::GtkBackend*& gtk) {
  if (!desktop || !OpenDesktop(binding, skinFolder)) {
    return std::make_unique<shell::WindowLibrary>(loop,
                                                  std::make_unique<skinui::HeadlessBackend>(loop),
                                                  skinFolder, binding, launcher, false);
  }
  // The main window's pictures are decoded on a worker while the window library and the main
  // window are made, so that its first frame does not wait for them. Started once the display
  // is open: opening it changes the environment for a moment.
  auto pictures = std::make_unique<skinui::ImagePrefetch>(
      skinFolder, std::vector<std::string>{ui::CMainFrame::kLayoutFile});
  // The web views keep nothing on disk (no folder to fill, nothing of an earlier run to
  // clear); the windows take the product's picture as their icon.
  skinui::gtk::GtkBackendOptions options;
  options.iconFile = platform::JoinPath(skinFolder, "main/logo.png");
  auto backend = std::make_unique<skinui::gtk::GtkBackend>(loop, options);
  // Start-up measurements (the start-up benchmark) learn when the first frame is on screen.
  if (const char* report = std::getenv("ZELK_REPORT_FIRST_FRAME"); report != nullptr && *report) {
    backend->SetFirstFrameHandler([] {
      std::fputs("first-frame\n", stdout);
      std::fflush(stdout);
    });
  }
  gtk = backend.get();
  auto library = std::make_unique<shell::WindowLibrary>(loop, std::move(backend), skinFolder,
                                                        binding, launcher, true);
  library->context().Images().Adopt(std::move(pictures));
  return library;
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
  // Outlives the main window, which the start-up sequence ends before it returns.
  std::unique_ptr<shell::WindowLibrary> windows;
  skinui::gtk::GtkBackend* gtk = nullptr;

  shell::StartupSequence startup({
      .binding = binding,
      .appDirectory = platform::ProgramDirectory(),
      .serviceHost = platform::ServiceHost(),
      .loop = loop,
      .launcher = launcher,
      .presenter = presenter,
      .createMainWindow = [&windows, &gtk](shell::MainWindowContext context)
          -> std::unique_ptr<shell::ClientMainWindow> {
        if (!windows) return nullptr;
        std::unique_ptr<shell::ClientMainWindow> host =
            shell::MainFrameHost::Create(std::move(context), windows->context());
        // "zelk://" links inside the pages are requests as if a browser had started the
        // program with them. Pages exist only inside the main window, so the handler is not
        // called once it has gone.
        if (shell::ClientMainWindow* window = host.get(); window != nullptr && gtk != nullptr) {
          gtk->Web().SetUrlProtocolHandler([window](const std::string& url) {
            window->ProcessUrlProtocol(skinui::Utf8ToUtf16(url));
          });
        }
        return host;
      },
      .startListener = &platform::InstanceListener::start,
      .windowing = {.open = [&](const std::string& skinFolder) -> core::MessagePresenter* {
        windows = OpenWindowLibrary(loop, skinFolder, binding, launcher, desktop, gtk);
        return windows.get();
      }},
      .reportLibraryMissing =
          [desktop](const std::u16string& text) { ReportLibraryMissing(desktop, text); },
  });
  startup.Run(platform::JoinCommandLine(argc, argv));
  return 0;
}
