#include "shell/message_presenter.h"

#include <cstdio>

#include "platform/code_page.h"
#include "shell/app_log.h"

namespace shell {

void WriteToStandardError(std::u16string_view text) {
  const std::string line = platform::Utf16ToUtf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void StandardErrorPresenter::ShowMessage(const MessageBoxRequest& request) {
  WriteToStandardError(request.text);
  WriteLog(binding_, std::u16string_view(request.text));
}

}  // namespace shell
