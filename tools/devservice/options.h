#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace devservice {

// A listening address as given on the command line ("127.0.0.1:8096"); port 0 asks the system
// for a free port.
struct HostPort {
  std::string host;
  int port = 0;

  std::string text() const;
  bool operator==(const HostPort&) const = default;
};

// "HOST:PORT" with a non-empty host and a decimal port of 0 to 65535; nullopt otherwise.
std::optional<HostPort> ParseHostPort(const std::string& text);

inline constexpr int kDefaultHttpPort = 8096;
inline constexpr std::int64_t kDefaultSignLifetimeSeconds = 30 * 60;

struct ServiceOptions {
  HostPort http{"127.0.0.1", kDefaultHttpPort};
  // Reserved for the file server: when set, the address endpoint announces it.
  std::optional<HostPort> files;
  std::string dataDir;
  std::string stateDir;
  std::string keyDir;  // the service's key pair (service_public.hex, service_secret.hex)
  // How long a login sign stays valid after the login; the heartbeat does not extend it, so
  // a running client meets an expired sign and logs in again.
  std::int64_t signLifetimeSeconds = kDefaultSignLifetimeSeconds;
};

struct ParsedOptions {
  ServiceOptions options;
  bool showHelp = false;
  std::string error;  // empty when the command line was understood
};

// The data folder compiled into the program (the committed sample data).
std::string DefaultDataDir();
// The key folder compiled into the program (tools/devservice/keys).
std::string DefaultKeyDir();
// A folder under the user's cache ($XDG_CACHE_HOME or ~/.cache) named after the program.
std::string DefaultStateDir();

// Reads the arguments after the program name. Unset folders get the defaults above.
ParsedOptions ParseOptions(const std::vector<std::string>& arguments);

std::string UsageText();

}  // namespace devservice
