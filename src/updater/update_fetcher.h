#pragma once

#include <string>

#include "core/zelk_lib_binding.h"

namespace updater {

enum class FetchResult {
  Fetched,   // the package waits in the waiting folder and the mark says so
  NoUpdate,  // the service offers nothing newer
  NoAnswer,  // the service could not be asked or gave no usable answer
  Failed     // the package could not be downloaded
};

// What the update endpoint answered: {"result":1,"hasUpdate":0|1,"version":"…","url":"…"}.
struct UpdateOffer {
  bool available = false;
  std::string version;
  std::string packageUrl;
};

// Reads the endpoint's reply into `offer`; false when the text is not a JSON object with result
// 1. An offer is available only with hasUpdate 1 and a package URL.
bool ParseUpdateOffer(const std::string& replyJson, UpdateOffer& offer);

// The endpoint's URL for a version on a service host (host or host:port).
std::string UpdateQueryUrl(const std::string& serviceHostAndPort, const std::string& version);

// The version the installed client carries (embedded in its program file), else this build's.
std::string InstalledClientVersion(const std::string& appDirectory);

// Asks the service whether a newer version exists and fetches its package into the waiting
// folder; the next start of the client then hands it to the updater to install.
class UpdateFetcher {
 public:
  UpdateFetcher(const core::ZelkLibBinding& binding, std::string appDirectory,
                std::string serviceHostAndPort);
  FetchResult Run();

 private:
  const core::ZelkLibBinding& binding_;
  std::string appDirectory_;
  std::string serviceHostAndPort_;
};

}  // namespace updater
