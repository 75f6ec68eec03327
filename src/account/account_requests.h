#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/service_context.h"
#include "core/window_payloads.h"

namespace account {

// The account's requests to the service. Each blocks, so each runs on a worker thread of its
// own; none throws. Texts in and out are ANSI; secrets go out sealed (EncryptText), so that a
// "&" or "%" in a password cannot change the request.

inline constexpr char kConnectionFailedText[] = "与服务器连接失败，请检查网络.";
inline constexpr char kLoginUnreadableText[] = "登录失败，原因：返回值无法解析.";
inline constexpr char kNetworkAbnormalText[] = "网络异常，请检查本地网络";
inline constexpr char kNoNetworkText[] = "无法访问网络，请检查本地网络";
inline constexpr char kNoLoginSignText[] = "没有登录凭证，请先登录.";

// The version text of the client's own program file, empty when it cannot be read.
std::string ClientVersionText(const core::ZelkLibBinding& lib);

// Logs in; the reply's user on success. A reply that cannot be read, a failed transfer (the
// network loss is reported) and an exception each come back with result 0 and a text to show.
core::LoginReplyPayload RequestLogin(const core::ServiceContext& context,
                                     const std::string& loginId, const std::string& password,
                                     const std::string& clientVersion);

// Registers an account (the id normalised; the nick name as typed).
core::AccountReplyPayload RequestRegister(const core::ServiceContext& context,
                                          const std::string& userId, const std::string& password,
                                          const std::string& nickName);
// Changes the password of user `uid`; refused before any request without a login sign.
core::AccountReplyPayload RequestChangePassword(const core::ServiceContext& context,
                                                std::int32_t uid, const std::string& loginSign,
                                                const std::string& oldPassword,
                                                const std::string& newPassword);
// Asks the service to send a registration code to a (normalised) mobile number.
core::AccountReplyPayload RequestSmsCode(const core::ServiceContext& context,
                                         const std::string& mobile);
// Ends the login of that sign at the service; the reply is not read.
void RequestLogout(const core::ServiceContext& context, const std::string& loginSign);

// What the service says of a login sign.
enum class HeartbeatAnswer {
  kAlive,       // any readable reply but the expiry
  kExpired,     // result 0 with returnValue "1": log in again with the stored login
  kUnreadable,  // logged
  kFailed,      // the transfer failed (the network loss is reported)
};
HeartbeatAnswer RequestHeartbeat(const core::ServiceContext& context, const std::string& loginSign);

// The avatar address the service has for the user now; none for any other answer.
std::optional<std::string> RequestAvatarAddress(const core::ServiceContext& context,
                                                std::int32_t uid, const std::string& loginSign);
// The number of unread messages behind a formatted URL; 0 for any failure.
std::int32_t RequestUnreadCount(const core::ZelkLibBinding& lib, const std::u16string& url);

}  // namespace account
