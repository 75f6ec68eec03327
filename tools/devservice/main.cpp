// zelk-devservice: the local development service of Tamsel. See UsageText() or --help.

#include <csignal>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "devservice/dev_service.h"
#include "devservice/options.h"
#include "devservice/service_log.h"
#include "devservice/wall_clock.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const devservice::ParsedOptions parsed = devservice::ParseOptions(arguments);
  if (parsed.showHelp) {
    std::cout << devservice::UsageText();
    return 0;
  }
  if (!parsed.error.empty()) {
    std::cerr << "zelk-devservice: " << parsed.error << "\n\n" << devservice::UsageText();
    return 2;
  }

  // Block the stop signals before any thread starts, so that only sigwait below receives them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  try {
    devservice::WallClock clock;
    devservice::DevService service(parsed.options, clock);
    service.start();
    std::printf("%s\n", service.boundAddressLine().c_str());
    std::fflush(stdout);
    int received = 0;
    sigwait(&stopSignals, &received);
    service.log().write("收到信号 " + std::to_string(received) + "，服务停止");
    service.stop();
  } catch (const std::exception& error) {
    std::cerr << "zelk-devservice: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
