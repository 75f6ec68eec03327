#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/zelk_lib_binding.h"

namespace knowledge {

// Where this library's log lines go: one line of ANSI text (the system code page), as the
// program's WriteLog takes it. Empty: lines are dropped.
using LogSink = std::function<void(const std::string& ansiLine)>;

// The program's log: each line through the support library's AppendLog (the core's WriteLog).
// The binding must outlive the sink.
LogSink ProductLogSink(const core::ZelkLibBinding& lib);

// Converts a line to ANSI and hands it to the sink. Never raises: a failing log must not end
// the operation that reports through it.
void WriteLogLine(const LogSink& sink, std::u16string_view line) noexcept;

}  // namespace knowledge
