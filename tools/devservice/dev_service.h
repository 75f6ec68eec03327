#pragma once

#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "devservice/options.h"
#include "platform/clock.h"

namespace httplib {
class Server;
}

namespace devservice {

class AppUpgradeSwitch;
class Catalogue;
class ConnectionDropPlan;
class FileServer;
class FileRequestLog;
class FileServerAddress;
class FileTransferPace;
class HijackSwitch;
class OutageSwitch;
class PageRenderer;
class Router;
class SealedBoxOpener;
class ServiceLog;
class StateStore;
struct ServiceContext;

// The local development service: loads the sample data and the state, and answers HTTP on
// its own threads between start() and stop(). Tests make one in-process on port 0.
class DevService {
 public:
  // Raises std::runtime_error when the data, the keys or the state folder cannot be used.
  // echoLog false keeps the log off standard error (it still goes to devservice.log).
  DevService(ServiceOptions options, platform::Clock& clock, bool echoLog = true);
  ~DevService();
  DevService(const DevService&) = delete;
  DevService& operator=(const DevService&) = delete;

  // Binds and starts serving (the file server first, when the options name one, so that its
  // address is known before the first request); returns the bound HTTP port. Raises
  // std::runtime_error when an address cannot be bound.
  int start();
  void stop();

  int httpPort() const { return httpPort_; }
  // Where the file server listens once started; nullopt without one.
  std::optional<HostPort> filesAddress() const { return filesAddress_; }
  // The line the program prints first: "zelk-devservice http=127.0.0.1:41234 files=-", or
  // with the file server "… files=127.0.0.1:41235".
  std::string boundAddressLine() const;
  // The address the file-server endpoint announces (the file server sets it once bound).
  void setFileServerAddress(std::optional<HostPort> address);

  ServiceLog& log() { return *log_; }
  StateStore& state() { return *state_; }
  HijackSwitch& hijack() { return *hijack_; }
  // The file server's test switch that cuts connections after a number of bytes.
  ConnectionDropPlan& fileDrops() { return *fileDrops_; }
  // The file server's test switch that limits each connection's rate.
  FileTransferPace& filePace() { return *filePace_; }
  // The first download request of each file server connection.
  const FileRequestLog& fileRequests() const { return *fileRequests_; }
  // The test switch that answers chosen requests with 503.
  OutageSwitch& outages() { return *outages_; }
  // Null unless the options name a file server.
  FileServer* fileServer() { return files_.get(); }
  const Catalogue& catalogue() const { return *catalogue_; }
  const Router& router() const { return *router_; }

 private:
  const ServiceOptions options_;
  platform::Clock& clock_;
  std::unique_ptr<ServiceLog> log_;
  std::unique_ptr<Catalogue> catalogue_;
  std::unique_ptr<SealedBoxOpener> opener_;
  std::unique_ptr<PageRenderer> pages_;
  std::unique_ptr<StateStore> state_;
  std::unique_ptr<HijackSwitch> hijack_;
  std::unique_ptr<AppUpgradeSwitch> upgrades_;
  std::unique_ptr<FileServerAddress> fileServer_;
  std::unique_ptr<ConnectionDropPlan> fileDrops_;
  std::unique_ptr<FileTransferPace> filePace_;
  std::unique_ptr<FileRequestLog> fileRequests_;
  std::unique_ptr<OutageSwitch> outages_;
  std::unique_ptr<ServiceContext> context_;
  std::unique_ptr<Router> router_;
  std::unique_ptr<FileServer> files_;
  std::unique_ptr<httplib::Server> server_;
  std::thread serverThread_;
  int httpPort_ = 0;
  std::optional<HostPort> filesAddress_;
};

}  // namespace devservice
