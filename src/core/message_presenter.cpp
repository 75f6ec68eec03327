#include "core/message_presenter.h"

#include <cstdio>

#include "core/app_log.h"
#include "platform/code_page.h"

namespace core {

void WriteToStandardError(std::u16string_view text) {
  const std::string line = platform::Utf16ToUtf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void StandardErrorPresenter::ShowMessage(const MessageBoxRequest& request) {
  WriteToStandardError(request.text);
  WriteLog(binding_, std::u16string_view(request.text));
}

}  // namespace core
