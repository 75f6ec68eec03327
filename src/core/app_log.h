#pragma once

#include <string_view>

#include "core/zelk_lib_binding.h"

namespace core {

// One line of the product log, written through the support library's AppendLog with the
// binding's program directory. The 8-bit form takes text in the system code page; the UTF-16
// form takes the client's own fixed texts.
void WriteLog(const ZelkLibBinding& binding, std::string_view ansiLine);
void WriteLog(const ZelkLibBinding& binding, std::u16string_view line);

// The same through the process-wide binding.
void WriteLog(std::string_view ansiLine);
void WriteLog(std::u16string_view line);

}  // namespace core
