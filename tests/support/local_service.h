#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "core/zelk_lib_binding.h"
#include "devservice/dev_service.h"
#include "devservice/options.h"
#include "platform/clock.h"
#include "platform/dynamic_library.h"
#include "support/temp_dir.h"

namespace net_testing {

// What the fixture starts besides the web service.
struct LocalServiceOptions {
  // Also run the file server on a free loopback port; the address endpoint then names it.
  bool withFiles = false;
  // The folder it serves, one folder per store; empty: the sample files the build generated.
  std::string filesRoot;
};

// The local development service on a loopback port of the system's choice, and the real
// support library of the staged application folder pointed at it: the client's whole road to
// the service, with a log in a temporary program folder.
class LocalService {
 public:
  explicit LocalService(const LocalServiceOptions& startWith = {}) {
    devservice::ServiceOptions options;
    options.http = devservice::HostPort{"127.0.0.1", 0};
    options.dataDir = devservice::DefaultDataDir();
    options.keyDir = devservice::DefaultKeyDir();
    options.stateDir = dir_.path() + "/state";
    if (startWith.withFiles) {
      options.files = devservice::HostPort{"127.0.0.1", 0};
      options.filesRoot =
          startWith.filesRoot.empty() ? devservice::DefaultFilesRoot() : startWith.filesRoot;
    }
    service_ = std::make_unique<devservice::DevService>(options, platform::SystemClock::instance(),
                                                        /*echoLog=*/false);
    port_ = service_->start();
    setenv("ZELK_SERVICE_HOST", ("127.0.0.1:" + std::to_string(port_)).c_str(), 1);
    const char* appDir = std::getenv("ZELK_APP_DIR");
    lib_ = core::ZelkLibBinding(platform::DynamicLibrary::open(
        std::string(appDir != nullptr ? appDir : ".") + "/libZelkLib.so"));
    lib_.setProgramDirectory(std::u16string(dir_.path().begin(), dir_.path().end()));
  }
  ~LocalService() { unsetenv("ZELK_SERVICE_HOST"); }

  devservice::DevService& service() { return *service_; }
  const core::ZelkLibBinding& lib() const { return lib_; }
  std::string logText() const { return dir_.read("Log/Zelk.log"); }
  int port() const { return port_; }
  // The file server's port; 0 when it was not started.
  int filesPort() const {
    const auto address = service_->filesAddress();
    return address ? address->port : 0;
  }

 private:
  testing_support::TempDir dir_;
  std::unique_ptr<devservice::DevService> service_;
  int port_ = 0;
  core::ZelkLibBinding lib_;
};

}  // namespace net_testing
