#include "core/app_log.h"

#include "core/app_directory.h"

namespace core {

void WriteLog(const ZelkLibBinding& binding, std::string_view ansiLine) {
  binding.AppendLog(binding.dataDirectory(), AnsiTextToWide(ansiLine));
}

void WriteLog(const ZelkLibBinding& binding, std::u16string_view line) {
  binding.AppendLog(binding.dataDirectory(), std::u16string(line));
}

void WriteLog(std::string_view ansiLine) {
  WriteLog(ZelkLibHandle(), ansiLine);
}

void WriteLog(std::u16string_view line) {
  WriteLog(ZelkLibHandle(), line);
}

}  // namespace core
