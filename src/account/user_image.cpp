#include "account/user_image.h"

#include "core/app_directory.h"
#include "core/window_messages.h"
#include "core/window_payloads.h"
#include "net/service_transfer.h"
#include "net/text_conversion.h"
#include "platform/code_page.h"
#include "platform/file_name_sanitiser.h"

namespace account {

std::string UserImagePath(const core::ZelkLibBinding& lib, std::int32_t uid,
                          const std::string& address) {
  // The name comes from the service: it names a file only as one harmless path component.
  const auto name =
      platform::SanitiseFileName(platform::Utf16ToUtf8(lib.GetFileName(net::AnsiToWide(address))));
  if (!name || name->empty()) return {};
  const std::string folder =
      core::JoinAppPath(net::WideToAnsiString(lib.dataDirectory()),
                        "UserData\\" + std::to_string(uid) + "\\UserProfile");
  return folder + "/" + net::WideToAnsiString(platform::Utf8ToUtf16(*name));
}

void ShowUserImage(const core::ServiceContext& context, UserSession& session,
                   const std::string& address, bool forced) {
  if (address.empty()) return;
  const core::ZelkLibBinding& lib = context.binding();
  std::int32_t uid = 0;
  session.Update([&](SessionState& state) {
    state.imageUrl = address;
    uid = state.uid;
  });
  const std::string path = UserImagePath(lib, uid, address);
  const std::u16string widePath = net::AnsiToWide(path);
  if (path.empty() || lib.GetFileExt(widePath).empty()) return;
  if (forced) lib.FileDelete(widePath);
  if (!lib.FileExist(widePath)) net::DownloadImageFile(lib, net::AnsiToWide(address), widePath);
  // The button shows the file when there is one now, and no picture when the download failed.
  context.postToMainWindow(core::WM_USER_IMAGE,
                           platform::Payload::make<core::UserImagePayload>(core::UserImagePayload{
                               lib.FileExist(widePath) ? path : std::string()}));
}

}  // namespace account
