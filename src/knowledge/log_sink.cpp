#include "knowledge/log_sink.h"

#include "platform/code_page.h"

namespace knowledge {

void WriteLogLine(const LogSink& sink, std::u16string_view line) noexcept {
  if (!sink) return;
  try {
    sink(platform::Utf16ToAnsi(line));
  } catch (...) {
    // Nothing to report a failing log to.
  }
}

}  // namespace knowledge
