// Exports: HTTP transfers, reachability, system facts and the .NET Framework.

#include <string>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/service_host.h"
#include "zelklib/connectivity.h"
#include "zelklib/dotnet_frameworks.h"
#include "zelklib/export_guard.h"
#include "zelklib/http_client.h"
#include "zelklib/out_buffer.h"
#include "zelklib/reply_text.h"
#include "zelklib/system_facts.h"
#include "zelklib/url_text.h"
#include "zelklib/zelklib_exports.h"

using namespace zelklib;

namespace {

constexpr int kProbeTimeoutMs = 2500;

// The answer of one transfer export: the decoded body of a 2xx reply with status "1", else the
// reason of the failure with status "0".
std::u16string replyText(const HttpReply& reply, char16_t* statusBuffer12) {
  if (reply.succeeded()) {
    CopyToBuffer(u"1", statusBuffer12, kZelkStatusBufferBytes);
    return DecodeReplyBody(reply.body, reply.contentType);
  }
  return ToUtf16("请求失败: " + DescribeFailure(reply));
}

}  // namespace

ZELK_EXPORT const char16_t* GetWebContent(const char16_t* url, char16_t* statusBuffer12) {
  thread_local std::u16string result;
  CopyToBuffer(u"0", statusBuffer12, kZelkStatusBufferBytes);
  return GuardedText(
      result, [&] { return replyText(HttpGet(EscapeForRequest(ToUtf8(url))), statusBuffer12); });
}

ZELK_EXPORT const char16_t* PostWebContent(const char16_t* url, const char16_t* body,
                                           char16_t* statusBuffer12) {
  thread_local std::u16string result;
  CopyToBuffer(u"0", statusBuffer12, kZelkStatusBufferBytes);
  return GuardedText(result, [&] {
    return replyText(HttpPost(EscapeForRequest(ToUtf8(url)), ToUtf8(body)), statusBuffer12);
  });
}

ZELK_EXPORT int DownloadImageByUrl(const char16_t* url, const char16_t* localPath,
                                   char16_t* errorBuffer256) {
  CopyToBuffer({}, errorBuffer256, kZelkErrorBufferBytes);
  return Guarded(0, [&] {
    HttpOptions options;
    options.totalTimeoutSeconds = 120;
    const HttpReply reply =
        HttpDownloadToFile(EscapeForRequest(ToUtf8(url)), ToUtf8(localPath), options);
    if (reply.succeeded()) return 1;
    // The client logs this text when it holds " 404 " after its start.
    CopyToBuffer(ToUtf16("下载图片失败: " + DescribeFailure(reply)), errorBuffer256,
                 kZelkErrorBufferBytes);
    return 0;
  });
}

ZELK_EXPORT int CheckCanVisitInternent() {
  return Guarded(0, [] {
    // Shared by every thread of the process: the point of the cache is that a burst of failing
    // workers causes a single probe.
    static ConnectivityCache cache(
        platform::SystemClock::instance(),
        [](const std::string& target) { return CanConnect(target, kProbeTimeoutMs); });
    return YesNo(cache.reachable(platform::ServiceHostAndPort()));
  });
}

ZELK_EXPORT const char16_t* GetOSName() {
  thread_local std::u16string result;
  return GuardedText(result, [] { return ToUtf16(OperatingSystemName()); });
}

ZELK_EXPORT const char16_t* GetMacAddress() {
  thread_local std::u16string result;
  return GuardedText(result, [] { return ToUtf16(FirstMacAddress()); });
}

ZELK_EXPORT const char16_t* GetComputerName() {
  thread_local std::u16string result;
  return GuardedText(result, [] { return ToUtf16(ComputerName()); });
}

ZELK_EXPORT const char16_t* GetIEVersion() {
  thread_local std::u16string result;
  return GuardedText(result, [] { return ToUtf16(WebEngineVersion()); });
}

ZELK_EXPORT int IsWin64() {
  return Guarded(0, [] { return YesNo(Is64BitSystem()); });
}

ZELK_EXPORT const char16_t* GetAllInstallFrameworks() {
  thread_local std::u16string result;
  return GuardedText(result,
                     [] { return ToUtf16(DescribeFrameworks(DetectInstalledFrameworks())); });
}

namespace {

int hasFramework(DotNetFramework version) {
  return Guarded(0, [&] { return YesNo(HasFramework(DetectInstalledFrameworks(), version)); });
}

}  // namespace

ZELK_EXPORT int HasInstallDotNetFrameworkV11() {
  return hasFramework(DotNetFramework::V11);
}
ZELK_EXPORT int HasInstallDotNetFrameworkV20() {
  return hasFramework(DotNetFramework::V20);
}
ZELK_EXPORT int HasInstallDotNetFrameworkV30() {
  return hasFramework(DotNetFramework::V30);
}
ZELK_EXPORT int HasInstallDotNetFrameworkV35() {
  return hasFramework(DotNetFramework::V35);
}
ZELK_EXPORT int HasInstallDotNetFrameworkV40() {
  return hasFramework(DotNetFramework::V40);
}
ZELK_EXPORT int HasInstallDotNetFrameworkV45() {
  return hasFramework(DotNetFramework::V45);
}

ZELK_EXPORT int InstallDoNetFramework4BySilent(const char16_t* platformFolder,
                                               const char16_t* installerPath) {
  return Guarded(
      0, [&] { return YesNo(RunSilentInstaller(ToUtf8(platformFolder), ToUtf8(installerPath))); });
}
