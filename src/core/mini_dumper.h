#pragma once

#include <atomic>
#include <csignal>
#include <optional>

#include "platform/alternate_signal_stack.h"

namespace core {

// Writes a crash dump next to the program file when the process crashes, then ends the process
// with exit code 0. One instance per process, created during static initialisation so that a
// crash during start-up is caught too; a second construction is a programming error and fails
// the assertion "!s_pMiniDumper".
//
// A crash is a fatal signal (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT) or std::terminate. The
// dump "<program dir>/<program file name>.<seconds>.dmp" holds the cause, the fault address, the
// crashing thread's id, its backtrace and the memory map of the process. It is written with
// async-signal-safe calls only: everything that needs memory or a library is prepared when the
// writer is installed. Stack overflows are caught on an alternate signal stack: this object gives
// one to the thread that makes it (the main thread), every thread the program starts makes its
// own (platform::AlternateSignalStack). When several threads crash at once, the first writes and
// the others wait for the process to end.
class MiniDumper {
 public:
  // `showMessages`: failures to write the dump are reported on standard error.
  explicit MiniDumper(bool showMessages);
  ~MiniDumper();
  MiniDumper(const MiniDumper&) = delete;
  MiniDumper& operator=(const MiniDumper&) = delete;

 private:
  static void OnSignal(int signal, siginfo_t* info, void* context);
  [[noreturn]] static void OnTerminate();
  // Writes the dump and ends the process. `cause` names what happened; `detail` may be null.
  [[noreturn]] void WriteDumpAndExit(int signal, int code, const void* faultAddress,
                                     const char* cause, const char* detail);

  static MiniDumper* s_pMiniDumper;

  bool showMessages_;
  // "<program dir>/<program file name>." — the dump path without its seconds and extension.
  char pathPrefix_[4096] = {};
  char programPath_[4096] = {};
  std::optional<platform::AlternateSignalStack> alternateStack_;
  struct sigaction previousActions_[5] = {};
  void (*previousTerminate_)() = nullptr;
  // Thread id of the thread writing the dump, 0 while none is.
  std::atomic<long> writerThread_{0};
};

}  // namespace core
