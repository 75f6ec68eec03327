// Exports: single instance, hand-off, environment registration and updates.

#include "platform/code_page.h"
#include "zelklib/export_guard.h"
#include "zelklib/out_buffer.h"
#include "zelklib/running_instance.h"
#include "zelklib/scheme_handler.h"
#include "zelklib/shared_text.h"
#include "zelklib/update_check.h"
#include "zelklib/zelklib_exports.h"

using namespace zelklib;
using platform::Utf16View;

namespace {

constexpr char16_t kEnvironmentMessage[] =
    u"Tamsel需要在本机注册zelk://链接的处理程序，网页中的下载链接才能交给Tamsel处理。"
    u"点击确定后将自动完成注册。";

}  // namespace

ZELK_EXPORT int HasRunningInstance(const char16_t* processFileName) {
  return Guarded(0, [&] { return YesNo(IsInstanceRunning(ToUtf8(processFileName))); });
}

ZELK_EXPORT int SendMsgToRunningInstance(const char16_t* processFileName, std::uint32_t message,
                                         const char16_t* text) {
  return Guarded(0, [&] {
    return YesNo(SendToRunningInstance(ToUtf8(processFileName), message, ToUtf8(text)));
  });
}

ZELK_EXPORT void WriteDataToUrlProtocolShareMemory(const char16_t* request) {
  GuardedVoid(
      [&] { WriteSharedText(SharedTextName(SharedTextKind::UrlProtocol), Utf16View(request)); });
}

ZELK_EXPORT const char16_t* ReadDataFromUrlProtocolShareMemory() {
  thread_local std::u16string result;
  return GuardedText(result, [] {
    return ReadSharedText(SharedTextName(SharedTextKind::UrlProtocol)).value_or(std::u16string());
  });
}

ZELK_EXPORT int WriteDataToZelkInterfaceShareMemory(const char16_t* serviceHost) {
  return Guarded(0, [&] {
    // Only the running client writes this; its session's objects go when it ends.
    const std::string name = SharedTextName(SharedTextKind::Interface);
    const bool written = WriteSharedText(name, Utf16View(serviceHost));
    RemoveSharedTextAtExit(name);
    RemoveSharedTextAtExit(SharedTextName(SharedTextKind::UrlProtocol));
    return YesNo(written);
  });
}

ZELK_EXPORT const char16_t* NeedUpdateZelkEnviroment(const char16_t* programDir,
                                                     char16_t* statusBuffer12) {
  thread_local std::u16string result;
  CopyToBuffer(u"0", statusBuffer12, kZelkStatusBufferBytes);
  return GuardedText(result, [&] {
    if (!SchemeHandlerNeedsRegistering(ToUtf8(programDir))) return std::u16string();
    CopyToBuffer(u"1", statusBuffer12, kZelkStatusBufferBytes);
    return std::u16string(kEnvironmentMessage);
  });
}

ZELK_EXPORT int TryRegisterZelkEnviroment(const char16_t* programDir, const char16_t* force) {
  return Guarded(0, [&] {
    const std::string dir = ToUtf8(programDir);
    // "1" (the repair menu) registers again whatever the state; otherwise only when needed.
    if (Utf16View(force) != u"1" && !SchemeHandlerNeedsRegistering(dir)) return 1;
    return YesNo(RegisterSchemeHandler(dir));
  });
}

ZELK_EXPORT int TrySetIE_FEATURE_BROWSER_EMULATION(const char16_t*) {
  // The embedded web engine has no emulation modes: always its newest behaviour.
  return 1;
}

ZELK_EXPORT int CheckNeedUpdate(const char16_t* programDir) {
  return Guarded(0, [&] { return YesNo(IsUpdateAvailable(ToUtf8(programDir))); });
}

ZELK_EXPORT void SetUnShowIntroduce(const char16_t* programDir) {
  GuardedVoid([&] { ClearIntroduceMark(ToUtf8(programDir)); });
}
