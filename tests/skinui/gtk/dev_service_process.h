#pragma once

#include <sys/types.h>

#include <string>

namespace skinui_gtk_test {

// The local development service run as its own program on a free loopback port (it prints the
// address it bound on its first line), with its state in a folder of the test.
class DevServiceProcess {
 public:
  DevServiceProcess() = default;
  ~DevServiceProcess();
  DevServiceProcess(const DevServiceProcess&) = delete;
  DevServiceProcess& operator=(const DevServiceProcess&) = delete;

  bool Start(const std::string& stateDir, std::string& error);
  void Stop();
  // "http://127.0.0.1:<port>/" + path.
  std::string Url(const std::string& path) const;
  int port() const { return port_; }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace skinui_gtk_test
