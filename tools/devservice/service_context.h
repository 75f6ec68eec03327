#pragma once

#include <mutex>
#include <optional>

#include "devservice/app_upgrade_switch.h"
#include "devservice/catalogue.h"
#include "devservice/connection_drop_plan.h"
#include "devservice/file_request_log.h"
#include "devservice/file_transfer_pace.h"
#include "devservice/hijack_switch.h"
#include "devservice/options.h"
#include "devservice/outage_switch.h"
#include "devservice/page_renderer.h"
#include "devservice/sealed_box_opener.h"
#include "devservice/service_log.h"
#include "devservice/state_store.h"
#include "platform/clock.h"

namespace devservice {

// Where the file server listens, as the address endpoint announces it. Set once the file
// server is bound (or from --files); read by request threads.
class FileServerAddress {
 public:
  void set(std::optional<HostPort> address) {
    std::lock_guard lock(mutex_);
    address_ = std::move(address);
  }
  std::optional<HostPort> get() const {
    std::lock_guard lock(mutex_);
    return address_;
  }

 private:
  mutable std::mutex mutex_;
  std::optional<HostPort> address_;
};

// What every handler works with. Owned by DevService; handlers keep references.
struct ServiceContext {
  const ServiceOptions& options;
  const Catalogue& catalogue;
  StateStore& state;
  const SealedBoxOpener& opener;
  const PageRenderer& pages;
  HijackSwitch& hijack;
  AppUpgradeSwitch& upgrades;
  FileServerAddress& fileServer;
  ConnectionDropPlan& fileDrops;
  FileTransferPace& filePace;
  FileRequestLog& fileRequests;
  OutageSwitch& outages;
  ServiceLog& log;
  platform::Clock& clock;
};

}  // namespace devservice
