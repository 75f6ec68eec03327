#include "shell/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

#include "platform/alternate_signal_stack.h"

namespace shell {

namespace {

constexpr char kSignalled = 'q';
constexpr char kStop = 's';
constexpr std::uint32_t kQuitRequest = 0x0010;  // the system's close message
constexpr int kSignals[] = {SIGTERM, SIGINT};

// The pipe the handler writes to; the handler can reach nothing but a process-wide value.
std::atomic<int> g_signalPipe{-1};
struct sigaction g_previous[2];

void onSignal(int) {
  const int saved = errno;
  const int fd = g_signalPipe.load();
  if (fd >= 0) {
    const char byte = kSignalled;
    [[maybe_unused]] const ssize_t ignored = write(fd, &byte, 1);
  }
  errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(platform::MessageLoop& loop)
    : loop_(loop), target_(loop.addTarget(*this)) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  readFd_ = fds[0];
  writeFd_ = fds[1];
  g_signalPipe = writeFd_;
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 2; ++i) sigaction(kSignals[i], &action, &g_previous[i]);
  watcher_ = std::thread([this] {
    const platform::AlternateSignalStack signalStack;
    watch();
  });
  active_ = true;
}

TerminationSignals::~TerminationSignals() {
  if (active_) {
    for (int i = 0; i < 2; ++i) sigaction(kSignals[i], &g_previous[i], nullptr);
    const char byte = kStop;
    while (write(writeFd_, &byte, 1) < 0 && errno == EINTR) {
    }
    watcher_.join();
    g_signalPipe = -1;
  }
  if (readFd_ >= 0) close(readFd_);
  if (writeFd_ >= 0) close(writeFd_);
  loop_.removeTarget(target_);
}

void TerminationSignals::watch() {
  for (;;) {
    char byte = 0;
    const ssize_t n = read(readFd_, &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || byte == kStop) return;
    loop_.post(target_, kQuitRequest);
  }
}

void TerminationSignals::onMessage(platform::Message& message) {
  if (message.message == kQuitRequest) loop_.quit(0);
}

}  // namespace shell
