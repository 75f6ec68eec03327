#include "account/account_requests.h"

#include <exception>
#include <vector>

#include "core/app_directory.h"
#include "core/app_log.h"
#include "core/program_files.h"
#include "core/window_messages.h"
#include "net/endpoints.h"
#include "net/json_reply.h"
#include "net/service_requests.h"
#include "net/service_transfer.h"
#include "net/text_conversion.h"

namespace account {
namespace {

using core::AccountReplyPayload;

std::u16string Sealed(const core::ZelkLibBinding& lib, const std::string& ansi) {
  return net::AnsiToWide(net::EncryptText(lib, ansi));
}

// A URL that cannot be formed goes out empty: its transfer fails like any unreachable one.
std::u16string RequestUrl(const core::ZelkLibBinding& lib, const char16_t* pathTemplate,
                          const std::vector<net::UrlValue>& values) {
  return net::ServiceRequestUrl(lib, pathTemplate, values).value_or(u"");
}

// A reply of "result" and "msg"; `unreadable` when it is not JSON, so that the user never sees
// an empty error box.
AccountReplyPayload ReadAccountReply(const std::string& reply, const char* unreadable) {
  const auto parsed = net::ParseServiceReply(reply);
  if (!parsed) return {0, unreadable};
  return {net::ReplyResult(*parsed), net::ReplyText(*parsed, "msg")};
}

// The service did not answer: when the internet is gone too the main window learns of it.
AccountReplyPayload TransferFailed(const core::ServiceContext& context, const char* offline) {
  if (!net::CanVisitInternet(context.binding())) {
    context.postToMainWindow(core::WM_NETWORK_ERROR);
    return {0, offline};
  }
  return {0, kConnectionFailedText};
}

// One GET of the service read as "result" and "msg".
AccountReplyPayload AskService(const core::ServiceContext& context, const std::u16string& url,
                               const char* unreadable, const char* offline) {
  try {
    std::string reply;
    if (net::GetServiceContent(context.binding(), url, reply)) {
      return ReadAccountReply(reply, unreadable);
    }
    return TransferFailed(context, offline);
  } catch (const std::exception& e) {
    core::WriteLog(context.binding(), std::string(e.what()));
    return {0, e.what()};
  }
}

}  // namespace

std::string ClientVersionText(const core::ZelkLibBinding& lib) {
  const std::string programDirectory = net::WideToAnsiString(lib.programDirectory());
  const core::FileSizeAndVersion facts = lib.GetFileSizeAndVersion(
      net::AnsiToWide(core::JoinAppPath(programDirectory, core::ClientProcessName())));
  return facts.read ? net::WideToAnsiString(facts.version) : std::string();
}

core::LoginReplyPayload RequestLogin(const core::ServiceContext& context,
                                     const std::string& loginId, const std::string& password,
                                     const std::string& clientVersion) {
  core::LoginReplyPayload result;
  const core::ZelkLibBinding& lib = context.binding();
  try {
    const std::u16string url =
        RequestUrl(lib, net::endpoints::kLogin,
                   {Sealed(lib, loginId), Sealed(lib, password), net::AnsiToWide(clientVersion)});
    std::string reply;
    if (!net::GetServiceContent(lib, url, reply)) {
      core::WriteLog(lib, reply);
      result.msg = kConnectionFailedText;
      net::ReportRequestFailure(context);
      return result;
    }
    const auto parsed = net::ParseServiceReply(reply);
    if (!parsed) {
      result.msg = kLoginUnreadableText;
      core::WriteLog(lib, result.msg);
      return result;
    }
    result.result = net::ReplyResult(*parsed);
    result.msg = net::ReplyText(*parsed, "msg");
    result.uid = net::ReplyInt(*parsed, "uid");
    result.loginSign = net::ReplyText(*parsed, "returnValue");
    result.nickName = net::ReplyText(*parsed, "nickName");
    result.imageUrl = net::ReplyText(*parsed, "imageUrl");
  } catch (const std::exception& e) {
    result.msg = e.what();
    core::WriteLog(lib, result.msg);
  }
  return result;
}

AccountReplyPayload RequestRegister(const core::ServiceContext& context, const std::string& userId,
                                    const std::string& password, const std::string& nickName) {
  const core::ZelkLibBinding& lib = context.binding();
  return AskService(
      context,
      RequestUrl(lib, net::endpoints::kRegister,
                 {Sealed(lib, userId), Sealed(lib, password), net::AnsiToWide(nickName)}),
      "注册失败，原因：返回值无法解析.", kNetworkAbnormalText);
}

AccountReplyPayload RequestChangePassword(const core::ServiceContext& context, std::int32_t uid,
                                          const std::string& loginSign,
                                          const std::string& oldPassword,
                                          const std::string& newPassword) {
  if (loginSign.empty()) return {0, kNoLoginSignText};
  const core::ZelkLibBinding& lib = context.binding();
  return AskService(context,
                    RequestUrl(lib, net::endpoints::kChangePassword,
                               {uid, Sealed(lib, oldPassword), Sealed(lib, newPassword)}),
                    "密码修改失败，原因：返回值无法解析.", kNetworkAbnormalText);
}

AccountReplyPayload RequestSmsCode(const core::ServiceContext& context, const std::string& mobile) {
  const core::ZelkLibBinding& lib = context.binding();
  return AskService(
      context,
      net::UrlEncodeText(lib, RequestUrl(lib, net::endpoints::kSendSmsCode, {Sealed(lib, mobile)})),
      "获取短信验证码失败，原因：返回值无法解析.", kNoNetworkText);
}

void RequestLogout(const core::ServiceContext& context, const std::string& loginSign) {
  const core::ZelkLibBinding& lib = context.binding();
  try {
    std::string reply;
    net::GetServiceContent(lib,
                           net::UrlEncodeText(lib, RequestUrl(lib, net::endpoints::kLogout,
                                                              {net::AnsiToWide(loginSign)})),
                           reply);
  } catch (const std::exception& e) {
    core::WriteLog(lib, std::string(e.what()));
  }
}

HeartbeatAnswer RequestHeartbeat(const core::ServiceContext& context,
                                 const std::string& loginSign) {
  const core::ZelkLibBinding& lib = context.binding();
  try {
    std::string reply;
    if (!net::GetServiceContent(
            lib, RequestUrl(lib, net::endpoints::kHeartbeat, {net::AnsiToWide(loginSign)}),
            reply)) {
      net::ReportRequestFailure(context);
      return HeartbeatAnswer::kFailed;
    }
    const auto parsed = net::ParseServiceReply(reply);
    if (!parsed) {
      core::WriteLog(lib, u"无法解析心跳返回值");
      return HeartbeatAnswer::kUnreadable;
    }
    const bool expired = net::ReplyResult(*parsed) == 0 && (*parsed)["returnValue"].isString() &&
                         (*parsed)["returnValue"].asString() == "1";
    return expired ? HeartbeatAnswer::kExpired : HeartbeatAnswer::kAlive;
  } catch (const std::exception& e) {
    core::WriteLog(lib, std::string(e.what()));
    return HeartbeatAnswer::kFailed;
  }
}

std::optional<std::string> RequestAvatarAddress(const core::ServiceContext& context,
                                                std::int32_t uid, const std::string& loginSign) {
  const core::ZelkLibBinding& lib = context.binding();
  try {
    std::string reply;
    const std::u16string url = net::UrlEncodeText(
        lib, RequestUrl(lib, net::endpoints::kAvatarAddress, {uid, net::AnsiToWide(loginSign)}));
    if (!net::GetServiceContent(lib, url, reply)) {
      net::ReportRequestFailure(context);
      return std::nullopt;
    }
    const auto parsed = net::ParseServiceReply(reply);
    if (!parsed || net::ReplyResult(*parsed) != 1) return std::nullopt;
    return net::ReplyText(*parsed, "imageUrl");
  } catch (const std::exception& e) {
    core::WriteLog(lib, std::string(e.what()));
    return std::nullopt;
  }
}

std::int32_t RequestUnreadCount(const core::ZelkLibBinding& lib, const std::u16string& url) {
  try {
    std::string reply;
    if (!net::GetServiceContent(lib, url, reply)) return 0;
    const auto parsed = net::ParseServiceReply(reply);
    if (!parsed || net::ReplyResult(*parsed) != 1) return 0;
    return net::ReplyInt(*parsed, "count");
  } catch (const std::exception& e) {
    core::WriteLog(lib, std::string(e.what()));
    return 0;
  }
}

}  // namespace account
