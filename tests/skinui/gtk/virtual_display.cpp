#include "virtual_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace skinui_gtk_test {

namespace {

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) return true;
  }
  return false;
}

// Reads the display number Xvfb writes once it accepts connections.
bool ReadDisplayNumber(int fd, std::string& number, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (::poll(&p, 1, static_cast<int>(std::max<long long>(left.count(), 1))) <= 0) continue;
    char c;
    const ssize_t n = ::read(fd, &c, 1);
    if (n <= 0) return false;
    if (c == '\n') return !number.empty();
    number += c;
  }
  return false;
}

}  // namespace

bool VirtualDisplay::Installed() {
  return OnPath("Xvfb");
}

VirtualDisplay::~VirtualDisplay() {
  Stop();
}

bool VirtualDisplay::Start(std::string& error, bool endWithThisProcess) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    error = "no pipe";
    return false;
  }
  // Everything the child needs is made before the fork: a threaded parent's child may only make
  // async-signal-safe calls. The write end for Xvfb survives exec (no close-on-exec).
  const int writeFd = ::fcntl(fds[1], F_DUPFD, 10);
  const std::string fdText = std::to_string(writeFd);
  const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (endWithThisProcess) {
      ::prctl(PR_SET_PDEATHSIG, SIGTERM);
      if (::getppid() != parent) ::_exit(127);
    }
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::execlp("Xvfb", "Xvfb", "-displayfd", fdText.c_str(), "-screen", "0", "1280x960x24",
             "-nolisten", "tcp", "-br", "-noreset", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(writeFd);
  ::close(null);
  ::close(fds[1]);
  if (pid < 0) {
    error = "cannot fork";
    ::close(fds[0]);
    return false;
  }
  std::string number;
  const bool ready = ReadDisplayNumber(fds[0], number, 20000);
  ::close(fds[0]);
  pid_ = pid;
  if (!ready) {
    Stop();
    error = "Xvfb did not start";
    return false;
  }
  name_ = ":" + number;
  return true;
}

void VirtualDisplay::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

}  // namespace skinui_gtk_test
