#include "knowledge/log_sink.h"

#include "core/app_log.h"
#include "platform/code_page.h"

namespace knowledge {

LogSink ProductLogSink(const core::ZelkLibBinding& lib) {
  return [&lib](const std::string& ansiLine) { core::WriteLog(lib, std::string_view(ansiLine)); };
}

void WriteLogLine(const LogSink& sink, std::u16string_view line) noexcept {
  if (!sink) return;
  try {
    sink(platform::Utf16ToAnsi(line));
  } catch (...) {
    // Nothing to report a failing log to.
  }
}

}  // namespace knowledge
