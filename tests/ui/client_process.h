#pragma once

#include <json/json.h>
#include <sys/types.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/automation_client.h"

namespace ui_testing {

using testing_support::AutomationClient;

// The local development service on a loopback port of its own.
class DevService {
 public:
  // Starts on `port` (0: any free port); the port it bound is then port().
  DevService(std::string program, std::string stateFolder);
  ~DevService();
  // With `withFiles` its file server runs too, on a free port, serving `filesRoot` (empty: the
  // sample files).
  bool Start(int port = 0, bool withFiles = false, const std::string& filesRoot = "");
  void Stop();
  int port() const { return port_; }
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  std::string program_;
  std::string state_;
  pid_t pid_ = -1;
  int port_ = 0;
};

// The client program run from a private copy of the staged application folder: headless, with
// its automation socket, shell requests only recorded, a runtime and home folder of its own.
class ClientProcess {
 public:
  // Copies the program, its support library and its skin into `root`/app (once; a later
  // instance on the same root finds the copy, settings and all).
  ClientProcess(std::string root, std::string serviceHost);
  ~ClientProcess();

  // Starts the program with the arguments and waits (bounded) until its automation answers.
  // A later start on the same root hands its command line over to the running one and ends;
  // the running one answers the automation meanwhile. Shell requests are recorded; with
  // `startPrograms` program files (installed apps) are started too.
  bool Start(const std::vector<std::string>& arguments = {}, bool startPrograms = false);
  // Waits (bounded) for the program to end; its exit status, -1 when killed by a signal, -2 when
  // it did not end in time (it is then killed).
  int WaitForExit(int timeoutMs = 20000);
  bool running();

  AutomationClient& automation() { return *client_; }
  std::string socketPath() const { return root_ + "/automation.sock"; }
  std::string appFolder() const { return root_ + "/app"; }
  std::string file(const std::string& relative) const { return appFolder() + "/" + relative; }
  // Lines of the product log without their time stamps.
  std::vector<std::string> LogLines() const;

  // Shorthands for requests to the main window.
  Json::Value Control(const std::string& name);
  bool Click(const std::string& name, const std::string& window = "UIMainFrame");

 private:
  void CopyApplication();

  std::string root_;
  std::string serviceHost_;
  pid_t pid_ = -1;
  std::unique_ptr<AutomationClient> client_;
};

// The program is another process: its state is polled with a bounded deadline.
bool Eventually(const std::function<bool()>& condition, int timeoutMs = 20000);

// The staged application folder of the build.
std::string StagedApplication();

}  // namespace ui_testing
