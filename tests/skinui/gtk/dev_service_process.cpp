#include "dev_service_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <vector>

namespace skinui_gtk_test {

DevServiceProcess::~DevServiceProcess() {
  Stop();
}

bool DevServiceProcess::Start(const std::string& stateDir, std::string& error) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    error = "no pipe";
    return false;
  }
  std::vector<std::string> args = {ZELK_DEVSERVICE_PROGRAM, "--http", "127.0.0.1:0", "--state",
                                   stateDir};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], 1);
    ::dup2(null, 2);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(null);
  ::close(fds[1]);
  if (pid < 0) {
    ::close(fds[0]);
    error = "cannot fork";
    return false;
  }
  pid_ = pid;
  // "zelk-devservice http=127.0.0.1:<port> files=…"
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fds[0], POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    char c;
    if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
    line += c;
  }
  ::close(fds[0]);
  const auto at = line.find("http=127.0.0.1:");
  if (at == std::string::npos) {
    error = "the service did not start: '" + line + "'";
    Stop();
    return false;
  }
  port_ = std::stoi(line.substr(at + 15));
  return true;
}

void DevServiceProcess::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

std::string DevServiceProcess::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
}

}  // namespace skinui_gtk_test
