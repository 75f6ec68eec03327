// A program that installs the crash dump writer as the client does and then fails in the way
// its first argument names, so that tests can watch a real process crash.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "core/mini_dumper.h"
#include "platform/headless_message_loop.h"

namespace {
core::MiniDumper g_miniDumper(true);
volatile int g_zero = 0;
volatile int g_seven = 7;
}  // namespace

// Outside the anonymous namespace so that their names appear in the dump's backtrace.
[[gnu::noinline]] void writeThroughNull() {
  volatile int* nowhere = nullptr;
  *nowhere = 1;
}

[[gnu::noinline]] int recurseForever(int depth) {
  volatile char frame[256];
  frame[0] = static_cast<char>(depth);
  if (g_zero == 0) return recurseForever(depth + 1) + frame[0];
  return frame[0];
}

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "";
  if (std::strcmp(mode, "segv") == 0) writeThroughNull();
  if (std::strcmp(mode, "abort") == 0) std::abort();
  if (std::strcmp(mode, "fpe") == 0) return g_seven / g_zero;
  if (std::strcmp(mode, "terminate") == 0) throw std::runtime_error("nobody caught this");
  if (std::strcmp(mode, "overflow") == 0) return recurseForever(0);
  if (std::strcmp(mode, "worker-overflow") == 0) {
    // A worker thread started the way the client starts every one of its workers.
    platform::HeadlessMessageLoop loop;
    loop.startWorker([] { recurseForever(0); });
    loop.waitIdle(60000);
  }
  if (std::strcmp(mode, "threads") == 0) {
    std::thread first(writeThroughNull);
    std::thread second(writeThroughNull);
    first.join();
    second.join();
  }
  if (std::strcmp(mode, "second") == 0) {
    const core::MiniDumper another(true);
  }
  std::puts("no crash");
  return 3;
}
