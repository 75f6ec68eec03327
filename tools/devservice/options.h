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
  // The file server's address; when set, the file server runs there and the address endpoint
  // announces it. Unset: no file server.
  std::optional<HostPort> files;
  // Folder the file server serves, with one folder per store (Knowlege, App, UserProfile,
  // Platform); the build generates the sample files there.
  std::string filesRoot;
  // The client's "ANSI" code page, in which file names arrive and error texts leave.
  std::string filesCodeset = "UTF-8";
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
// The sample files the build generates (<build folder>/devservice-files).
std::string DefaultFilesRoot();
// A folder under the user's cache ($XDG_CACHE_HOME or ~/.cache) named after the program.
std::string DefaultStateDir();

// Reads the arguments after the program name. Unset folders get the defaults above.
ParsedOptions ParseOptions(const std::vector<std::string>& arguments);

std::string UsageText();

}  // namespace devservice
