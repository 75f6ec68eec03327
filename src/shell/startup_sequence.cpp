#include "shell/startup_sequence.h"

#include "core/app_directory.h"
#include "core/app_log.h"
#include "core/command_line.h"
#include "core/program_files.h"
#include "core/update_mark.h"
#include "core/updater_launcher.h"
#include "core/window_messages.h"
#include "core/window_payloads.h"
#include "platform/code_page.h"

namespace shell {

using namespace core;
namespace {

constexpr std::u16string_view kUnexpectedEnd = u"未知原因找出程序关闭.";

std::u16string wide(const std::string& text) {
  return platform::Utf8ToUtf16(text);
}

using ReceiptPtr = std::unique_ptr<platform::InstanceListener::Receipt>;

// On the listener's thread.
void PostArrivedRequest(platform::MessageLoop& loop, platform::WindowId window,
                        std::uint32_t message, const std::string& text, ReceiptPtr receipt) {
  std::u16string request = wide(text);
  if (message != WM_URL_PROTOCOL_ARRIVED || !IsWellFormedUrlProtocolRequest(request)) {
    if (receipt) receipt->Refuse();
    return;
  }
  auto payload = std::make_unique<UrlProtocolPayload>();
  payload->request = std::move(request);
  payload->receipt = std::move(receipt);
  loop.post(window, WM_URL_PROTOCOL_ARRIVED, platform::Payload(std::move(payload)));
}

}  // namespace

StartupSequence::StartupSequence(StartupEnvironment environment)
    : env_(std::move(environment)),
      programDirectory_(wide(env_.appDirectory)),
      presenter_(&env_.presenter) {}

void StartupSequence::log(std::u16string_view line) const {
  WriteLog(env_.binding, line);
}

StartOutcome StartupSequence::Run(const std::string& commandLine) {
  if (!env_.binding.loaded()) {
    if (env_.reportLibraryMissing) {
      env_.reportLibraryMissing(u"Tamsel初始化核心模块失败，请尝试重新启动Tamsel.");
    }
    return StartOutcome::LibraryMissing;
  }
  try {
    const std::u16string request = AnsiTextToWide(RemoveDoubleQuotes(commandLine));
    const bool isUrlRequest = IsUrlProtocolRequest(request);
    if (env_.binding.HasRunningInstance(wide(ClientProcessName()))) {
      HandOffToRunningInstance(request, isUrlRequest);
      return StartOutcome::HandedOff;
    }
    if (IsUpdatePending(env_.appDirectory)) {
      StartPendingUpdate();
      return StartOutcome::Updater;
    }
    return RunClient(request, isUrlRequest);
  } catch (...) {
    try {
      log(kUnexpectedEnd);
    } catch (...) {
    }
    return StartOutcome::Aborted;
  }
}

void StartupSequence::HandOffToRunningInstance(const std::u16string& commandLine,
                                               bool isUrlRequest) {
  log(u"已经有另外一个进程实例在运行");
  if (!isUrlRequest) return;
  if (!IsWellFormedUrlProtocolRequest(commandLine)) {
    log(u"URL协议格式不正确，不传递");
    return;
  }
  log(u"传递URL协议 Begin");
  // The shared memory keeps only the last request of many starts at once: each request also
  // travels with its own message, and the running instance takes it from there.
  env_.binding.WriteDataToUrlProtocolShareMemory(commandLine);
  env_.binding.SendMsgToRunningInstance(wide(ClientProcessName()), WM_URL_PROTOCOL_ARRIVED,
                                        commandLine);
  log(u"传递URL协议 End");
}

void StartupSequence::StartPendingUpdate() {
  const UpdaterLauncher updater(env_.binding, env_.launcher, env_.appDirectory);
  try {
    updater.InstallWaitingUpdater();
  } catch (...) {
    // The current updater is started anyway.
  }
  updater.StartUpdater(true, "1");
}

StartOutcome StartupSequence::RunClient(const std::u16string& commandLine, bool isUrlRequest) {
  if (env_.windowing.open) {
    if (MessagePresenter* onScreen =
            env_.windowing.open(JoinAppPath(env_.appDirectory, kSkinFolder))) {
      presenter_ = onScreen;
    }
  }
  try {
    CheckEnvironment();
    env_.binding.TrySetIE_FEATURE_BROWSER_EMULATION(wide(ClientProcessName()));
    if (!env_.binding.WriteDataToZelkInterfaceShareMemory(wide(env_.serviceHost))) {
      presenter_->ShowMessage({u"Tamsel初始化应用共享内存失败，请尝试重新启动Tamsel.",
                               MessageIcon::Information, MessageButtons::Ok, 160, true});
      return StartOutcome::Client;
    }
    if (env_.windowing.registerShadowWindowClass) env_.windowing.registerShadowWindowClass();
    if (env_.windowing.clearUrlCache) env_.windowing.clearUrlCache();

    std::unique_ptr<ClientMainWindow> mainWindow = env_.createMainWindow(
        {env_.loop, env_.binding, platform::Utf16ToUtf8(env_.binding.dataDirectory()),
         UpdaterLauncher(env_.binding, env_.launcher, env_.appDirectory)});
    if (!mainWindow) return StartOutcome::Aborted;
    mainWindow->CenterAndShow();

    // Later starts reach this instance through its channel: a well-formed request becomes a
    // message of the main window that carries it, handled on this thread; the sender is
    // answered once the window thread has freed it. Nothing else is taken.
    platform::MessageLoop& loop = env_.loop;
    const platform::WindowId window = mainWindow->window();
    const std::unique_ptr<platform::InstanceListener> listener =
        env_.startListener
            ? env_.startListener(
                  ClientProcessName(),
                  [&loop, window](std::uint32_t message, std::string text, ReceiptPtr receipt) {
                    PostArrivedRequest(loop, window, message, text, std::move(receipt));
                  })
            : nullptr;

    if (isUrlRequest) {
      log(u"URL Protocol Process Begin");
      mainWindow->ProcessUrlProtocol(commandLine);
      log(u"URL Protocol Process End");
    }
    env_.loop.run();
  } catch (...) {
    log(kUnexpectedEnd);
  }
  return StartOutcome::Client;
}

void StartupSequence::CheckEnvironment() {
  std::u16string status;
  const std::u16string message = env_.binding.NeedUpdateZelkEnviroment(programDirectory_, status);
  if (status != u"1") return;
  presenter_->ShowMessage({message, MessageIcon::Information, MessageButtons::Ok, 200, true});
  try {
    env_.binding.TryRegisterZelkEnviroment(programDirectory_, u"0");
  } catch (...) {
    presenter_->ShowMessage({u"注册环境失败，部分功能将无法使用.", MessageIcon::Information,
                             MessageButtons::Ok, 160, false});
  }
}

}  // namespace shell
