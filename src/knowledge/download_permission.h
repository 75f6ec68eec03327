#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/service_context.h"

namespace knowledge {

// Payload of WM_DOWNLOAD_PERMISSION: whether the user may download knowledge files now, and
// the text the queue's rows show when not.
struct DownloadPermission {
  std::int32_t allowed = 0;  // 1: allowed
  std::u16string message;
};

inline constexpr char16_t kLoginFirstText[] = u"提示:请先在Tamsel【首页】登录后,才可以下载.";
inline constexpr char16_t kPermissionUnreachableText[] = u"无法访问远程接口";
inline constexpr char16_t kPermissionNoNetworkText[] = u"无法访问网络，请检查本地网络";
inline constexpr char16_t kPermissionUnreadableText[] = u"返回值解析失败";
inline constexpr char16_t kPermissionFailedText[] = u"检测是否允许下载失败";

// The service's reply ("result" and "msg"); "返回值解析失败" when it is not JSON.
DownloadPermission ReadPermissionReply(std::string_view replyAnsi);

// Asks the service whether user `uid` may download. Without a reply the service is
// unreachable, or the network is gone when the internet cannot be reached either (then
// WM_NETWORK_ERROR goes to the main window as well). Runs on a worker thread; never throws.
DownloadPermission AskDownloadPermission(const core::ServiceContext& context, std::int32_t uid);

}  // namespace knowledge
