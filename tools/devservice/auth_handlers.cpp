#include "devservice/auth_handlers.h"

#include <sodium.h>

#include <cstdio>

#include "devservice/password_hash.h"
#include "devservice/router.h"
#include "devservice/service_context.h"
#include "devservice/text_util.h"

namespace devservice {

namespace {

constexpr std::size_t kMinPasswordLength = 6;
constexpr std::size_t kMaxPasswordLength = 20;
constexpr std::size_t kMaxNickNameBytes = 48;
// The client counts down 120 seconds before it offers a new code; a quicker repeat is refused.
constexpr std::int64_t kSmsResendPauseMs = 60 * 1000;

Json::Value Done(const std::string& message) {
  Json::Value value(Json::objectValue);
  value["result"] = 1;
  value["msg"] = message;
  return value;
}

// A sealed value of the query, opened; nullopt when it is not a box to our key.
std::optional<std::string> OpenSealed(const ServiceContext& context, const Request& request,
                                      const std::string& name) {
  return context.opener.open(request.text(name));
}

void CheckPasswordRules(const std::string& password) {
  const std::size_t length = Utf8Length(password);
  if (length < kMinPasswordLength || length > kMaxPasswordLength) {
    throw BadRequest("密码长度应为6到20位.");
  }
}

Reply Login(ServiceContext& context, const Request& request) {
  const auto loginId = OpenSealed(context, request, "user_id");
  const auto password = OpenSealed(context, request, "pwd");
  if (!loginId || !password) {
    context.log.write("登录请求的帐号或密码无法解密，按错误的帐号或密码处理");
    throw BadRequest("帐号或密码错误.");
  }
  const auto account = context.state.accountByLoginId(NormalizeLoginId(*loginId));
  if (!account || !VerifyPassword(account->passwordHash, *password)) {
    throw BadRequest("帐号或密码错误.");
  }
  const std::string sign =
      context.state.issueSign(account->uid, context.options.signLifetimeSeconds * 1000);
  context.log.write("用户 " + account->loginId + " 登录成功 (uid " + std::to_string(account->uid) +
                    ", 客户端版本 " + request.optionalText("client_ver").value_or("") + ")");
  Json::Value value = Done("登录成功");
  value["uid"] = account->uid;
  value["returnValue"] = sign;
  value["nickName"] = account->nickName;
  value["imageUrl"] = AvatarUrl(request, account->avatar);
  return JsonReply(value);
}

Reply ChangePassword(ServiceContext& context, const Request& request) {
  const std::int32_t uid = request.integer("uid");
  const auto oldPassword = OpenSealed(context, request, "old_pwd");
  const auto newPassword = OpenSealed(context, request, "new_pwd");
  const auto account = context.state.accountByUid(uid);
  if (!account) throw BadRequest("用户不存在.");
  if (!oldPassword || !newPassword || !VerifyPassword(account->passwordHash, *oldPassword)) {
    throw BadRequest("原密码错误.");
  }
  CheckPasswordRules(*newPassword);
  context.state.setPasswordHash(uid, HashPassword(*newPassword));
  context.log.write("用户 " + account->loginId + " 修改了密码");
  return JsonReply(Done("密码修改成功"));
}

std::string NickNameFor(const std::string& typed, const std::string& loginId) {
  std::string nick = Trim(typed);
  const std::string normalised = NormalizeLoginId(nick);
  if (nick.empty() || normalised == loginId) {
    // The client sends the id as typed; a phone number is not shown to others in full.
    nick =
        IsMobileNumber(loginId) ? MaskMobileNumber(loginId) : loginId.substr(0, loginId.find('@'));
  }
  return TruncateUtf8(nick, kMaxNickNameBytes);
}

Reply Register(ServiceContext& context, const Request& request) {
  const auto sealedId = OpenSealed(context, request, "user_id");
  const auto password = OpenSealed(context, request, "pwd");
  if (!sealedId || !password) throw BadRequest("注册信息无法识别，请重新输入.");
  const std::string loginId = NormalizeLoginId(*sealedId);
  const bool mobile = IsMobileNumber(loginId);
  if (!mobile && !IsEmailAddress(loginId)) throw BadRequest("请输入正确的邮箱或手机号码.");
  CheckPasswordRules(*password);
  if (context.state.accountByLoginId(loginId)) throw BadRequest("该帐号已被注册.");
  if (mobile) {
    // A mobile number registers only after a code was sent to it within the last five
    // minutes; a request that carries the code must carry the right one.
    const auto code = context.state.smsCode(loginId);
    if (!code) throw BadRequest("请先获取短信验证码，验证码5分钟内有效.");
    if (const auto typed = request.optionalText("sms_code"); typed && Trim(*typed) != code->first) {
      throw BadRequest("短信验证码不正确.");
    }
  }
  const auto& avatars = context.catalogue.avatars();
  const std::string avatar = avatars[static_cast<unsigned char>(loginId.back()) % avatars.size()];
  const Account account = context.state.createAccount(
      loginId, HashPassword(*password),
      NickNameFor(request.optionalText("nick_name").value_or(""), loginId), avatar,
      context.catalogue.welcomeMessages());
  if (mobile) context.state.removeSmsCode(loginId);
  context.log.write("新用户注册: " + loginId + " (uid " + std::to_string(account.uid) + ")");
  return JsonReply(Done("注册成功"));
}

Reply Heartbeat(ServiceContext& context, const Request& request) {
  const SignStatus status = context.state.checkSign(request.text("loginSign"));
  Json::Value value(Json::objectValue);
  if (status == SignStatus::kValid) {
    value["result"] = 1;
    value["returnValue"] = "0";
    value["msg"] = "在线";
  } else {
    // "1" asks the client to log in again with its stored login.
    value["result"] = 0;
    value["returnValue"] = "1";
    value["msg"] = "登录已过期，请重新登录.";
  }
  return JsonReply(value);
}

Reply Logout(ServiceContext& context, const Request& request) {
  std::int32_t uid = 0;
  const std::string sign = request.text("loginSign");
  context.state.checkSign(sign, &uid);
  if (!context.state.removeSign(sign)) throw BadRequest("登录凭证无效.");
  context.log.write("uid " + std::to_string(uid) + " 已退出登录");
  return JsonReply(Done("已退出登录"));
}

Reply Avatar(ServiceContext& context, const Request& request) {
  const Account account =
      RequireSession(context.state, request.integer("uid"), request.text("loginSign"));
  Json::Value value = Done("");
  value["imageUrl"] = AvatarUrl(request, account.avatar);
  return JsonReply(value);
}

Reply SendSmsCode(ServiceContext& context, const Request& request) {
  const auto sealed = OpenSealed(context, request, "user_id");
  if (!sealed) throw BadRequest("手机号码无法识别，请重新输入.");
  const std::string mobile = NormalizeLoginId(*sealed);
  if (!IsMobileNumber(mobile)) throw BadRequest("请输入正确的手机号码.");
  if (context.state.accountByLoginId(mobile)) throw BadRequest("该手机号码已注册，请直接登录.");
  if (const auto earlier = context.state.smsCode(mobile);
      earlier && context.clock.nowMs() - earlier->second < kSmsResendPauseMs) {
    throw BadRequest("短信验证码已发送，请稍后再试.");
  }
  char code[8];
  std::snprintf(code, sizeof code, "%06u", randombytes_uniform(1000000));
  context.state.storeSmsCode(mobile, code);
  context.log.write("短信验证码 " + mobile + ": " + code + " (5分钟内有效)");
  return JsonReply(Done("短信验证码已发送，请注意查收."));
}

Reply DownloadReport(ServiceContext& context, const Request& request) {
  const std::int32_t uid = request.integer("uid");
  const std::string downloadId = request.text("downloadId");
  if (!context.state.accountByUid(uid)) throw BadRequest("用户不存在.");
  if (context.catalogue.findDocument(Trim(downloadId)) == nullptr) throw BadRequest("资料不存在.");
  context.state.addDownloadReport(uid, Trim(downloadId));
  context.log.write("uid " + std::to_string(uid) + " 下载完成资料 " + Trim(downloadId));
  return JsonReply(Done("已记录"));
}

Reply DownloadPermission(ServiceContext& context, const Request& request) {
  const auto account = context.state.accountByUid(request.integer("uid"));
  if (!account) throw BadRequest("用户不存在，请重新登录.");
  if (!account->canDownload) throw BadRequest("您的帐号暂未开通资料下载权限，请联系客服开通.");
  return JsonReply(Done("允许下载"));
}

Reply UnreadMessages(ServiceContext& context, const Request& request) {
  if (request.integer("req") != 1) throw BadRequest("不支持的请求req");
  const Account account =
      RequireSession(context.state, request.integer("uid"), request.text("loginSign"));
  Json::Value value = Done("");
  value["count"] = context.state.unreadCount(account.uid);
  return JsonReply(value);
}

}  // namespace

Account RequireSession(const StateStore& state, std::int32_t uid, const std::string& sign) {
  std::int32_t owner = 0;
  const SignStatus status = state.checkSign(sign, &owner);
  if (status == SignStatus::kExpired && owner == uid) throw BadRequest("登录已过期，请重新登录.");
  if (status != SignStatus::kValid || owner != uid) throw BadRequest("登录凭证无效，请重新登录.");
  const auto account = state.accountByUid(uid);
  if (!account) throw BadRequest("用户不存在.");
  return *account;
}

std::string AvatarUrl(const Request& request, const std::string& avatar) {
  return request.baseUrl() + "zelk/UserImages/" + avatar;
}

void AddAuthHandlers(Router& router, ServiceContext& context) {
  router.add("auth/auth_verify.aspx", [&context](const Request& request) {
    switch (request.integer("kind")) {
      case 0:
        return Login(context, request);
      case 1:
        return ChangePassword(context, request);
      case 2:
        return Register(context, request);
      case 3:
        return Heartbeat(context, request);
      case 4:
        return Logout(context, request);
      case 6:
        return Avatar(context, request);
      case 7:
        return SendSmsCode(context, request);
      case 9:
        return DownloadReport(context, request);
      case 11:
        return DownloadPermission(context, request);
      default:
        throw BadRequest("不支持的操作kind");
    }
  });
  router.add("zelk/seedMessage/SeedMessageApi.aspx",
             [&context](const Request& request) { return UnreadMessages(context, request); });
}

}  // namespace devservice
