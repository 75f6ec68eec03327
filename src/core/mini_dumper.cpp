#include "core/mini_dumper.h"

#include <execinfo.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>

#include "platform/paths.h"
#include "platform/user_data_directory.h"

namespace core {
namespace {

constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int kBacktraceDepth = 128;

const char* signalName(int signal) {
  switch (signal) {
    case SIGSEGV:
      return "SIGSEGV";
    case SIGBUS:
      return "SIGBUS";
    case SIGILL:
      return "SIGILL";
    case SIGFPE:
      return "SIGFPE";
    case SIGABRT:
      return "SIGABRT";
    default:
      return "none";
  }
}

// A fixed-size text built without allocating, for use inside a signal handler.
class FixedText {
 public:
  FixedText& add(const char* text) {
    while (text != nullptr && *text != '\0' && length_ < sizeof buffer_ - 1)
      buffer_[length_++] = *text++;
    buffer_[length_] = '\0';
    return *this;
  }
  FixedText& addDecimal(long long value) {
    char digits[24];
    int n = 0;
    const bool negative = value < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                            : static_cast<unsigned long long>(value);
    do {
      digits[n++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (negative) add("-");
    char reversed[24];
    for (int i = 0; i < n; ++i) reversed[i] = digits[n - 1 - i];
    reversed[n] = '\0';
    return add(reversed);
  }
  FixedText& addHex(std::uintptr_t value) {
    char digits[2 + 2 * sizeof value + 1] = "0x";
    int n = 2;
    bool started = false;
    for (int shift = static_cast<int>(8 * sizeof value) - 4; shift >= 0; shift -= 4) {
      const unsigned nibble = static_cast<unsigned>((value >> shift) & 0xF);
      if (nibble != 0 || started || shift == 0) {
        digits[n++] = "0123456789abcdef"[nibble];
        started = true;
      }
    }
    digits[n] = '\0';
    return add(digits);
  }
  const char* c_str() const { return buffer_; }
  std::size_t size() const { return length_; }

 private:
  char buffer_[4608] = {};
  std::size_t length_ = 0;
};

bool writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool writeText(int fd, const FixedText& text) {
  return writeAll(fd, text.c_str(), text.size());
}

// Copies /proc/self/maps into the dump with plain reads and writes.
bool copyMemoryMap(int fd) {
  const int maps = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
  if (maps < 0) return true;  // nothing to copy is not a failed dump
  char chunk[4096];
  bool ok = true;
  for (;;) {
    const ssize_t n = read(maps, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (!writeAll(fd, chunk, static_cast<std::size_t>(n))) {
      ok = false;
      break;
    }
  }
  close(maps);
  return ok;
}

long currentThreadId() {
  return static_cast<long>(syscall(SYS_gettid));
}

void copyInto(char* target, std::size_t size, const std::string& text) {
  const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(target, text.data(), n);
  target[n] = '\0';
}

}  // namespace

MiniDumper* MiniDumper::s_pMiniDumper = nullptr;

MiniDumper::MiniDumper(bool showMessages) : showMessages_(showMessages) {
  if (s_pMiniDumper != nullptr) {
    // Checked in every build: two writers would fight over the process's crash handlers.
    std::fprintf(stderr, "%s:%d: MiniDumper: Assertion `!s_pMiniDumper' failed.\n", __FILE__,
                 __LINE__);
    std::abort();
  }
  s_pMiniDumper = this;

  const std::string programPath = platform::ProgramPath();
  copyInto(programPath_, sizeof programPath_, programPath);
  copyInto(pathPrefix_, sizeof pathPrefix_,
           platform::JoinPath(platform::UserDataDirectory(platform::ProgramDirectory()),
                              platform::ProgramFileName()) +
               ".");

  // backtrace() loads its unwinder on first use, which may allocate: do it now, not in a crash.
  void* warmUp[2];
  backtrace(warmUp, 2);

  // A stack overflow leaves no stack for the handler: give the main thread an alternate one.
  alternateStack_.emplace();

  struct sigaction action {};
  action.sa_sigaction = &MiniDumper::OnSignal;
  sigemptyset(&action.sa_mask);
  // SA_NODEFER lets a fault inside the handler reach it again, where it ends the process.
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
  for (int i = 0; i < 5; ++i) sigaction(kCrashSignals[i], &action, &previousActions_[i]);
  previousTerminate_ = std::set_terminate(&MiniDumper::OnTerminate);
}

MiniDumper::~MiniDumper() {
  std::set_terminate(previousTerminate_);
  for (int i = 0; i < 5; ++i) sigaction(kCrashSignals[i], &previousActions_[i], nullptr);
  alternateStack_.reset();
  s_pMiniDumper = nullptr;
}

void MiniDumper::OnSignal(int signal, siginfo_t* info, void*) {
  MiniDumper* const dumper = s_pMiniDumper;
  if (dumper == nullptr) {
    // Not ours any more: let the default action end the process.
    ::signal(signal, SIG_DFL);
    raise(signal);
    return;
  }
  dumper->WriteDumpAndExit(signal, info != nullptr ? info->si_code : 0,
                           info != nullptr ? info->si_addr : nullptr, signalName(signal), nullptr);
}

void MiniDumper::OnTerminate() {
  // Not a signal handler: the escaping exception's text may be read the ordinary way.
  static char detail[512];
  detail[0] = '\0';
  if (std::exception_ptr raised = std::current_exception()) {
    try {
      std::rethrow_exception(raised);
    } catch (const std::exception& e) {
      std::snprintf(detail, sizeof detail, "%s", e.what());
    } catch (...) {
      std::snprintf(detail, sizeof detail, "%s", "exception of unknown type");
    }
  }
  MiniDumper* const dumper = s_pMiniDumper;
  if (dumper == nullptr) std::abort();
  dumper->WriteDumpAndExit(0, 0, nullptr, "std::terminate", detail[0] != '\0' ? detail : nullptr);
}

void MiniDumper::WriteDumpAndExit(int signal, int code, const void* faultAddress, const char* cause,
                                  const char* detail) {
  const long self = currentThreadId();
  long expected = 0;
  if (!writerThread_.compare_exchange_strong(expected, self)) {
    // The writing thread crashed again while writing: end at once.
    if (expected == self) _exit(0);
    // Another thread writes the dump and then ends the process; wait for it.
    for (;;) pause();
  }

  const long seconds = static_cast<long>(time(nullptr));
  FixedText path;
  path.add(pathPrefix_).addDecimal(seconds).add(".dmp");

  FixedText message;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    message.add("Failed to create the mini-dump file '").add(path.c_str()).add("' (error ");
    message.addDecimal(errno).add(")\n");
  } else {
    FixedText header;
    header.add("Crash dump of ").add(programPath_).add("\n");
    header.add("time: ").addDecimal(seconds).add("\n");
    header.add("cause: ").add(cause).add("\n");
    header.add("signal: ").addDecimal(signal).add("\n");
    header.add("signal code: ").addDecimal(code).add("\n");
    header.add("fault address: ").addHex(reinterpret_cast<std::uintptr_t>(faultAddress)).add("\n");
    header.add("thread id: ").addDecimal(self).add("\n");
    if (detail != nullptr) header.add("what: ").add(detail).add("\n");
    header.add("\nbacktrace:\n");
    int error = 0;
    if (!writeText(fd, header)) error = errno;

    void* frames[kBacktraceDepth];
    const int depth = backtrace(frames, kBacktraceDepth);
    backtrace_symbols_fd(frames, depth, fd);

    FixedText mapHeader;
    mapHeader.add("\nmemory map:\n");
    if (error == 0 && !(writeText(fd, mapHeader) && copyMemoryMap(fd))) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
      message.add("Failed to save the mini-dump file to '").add(path.c_str()).add("' (error ");
      message.addDecimal(error).add(")\n");
    }
  }
  if (message.size() > 0 && showMessages_) writeText(STDERR_FILENO, message);
  _exit(0);
}

}  // namespace core
