#include "devservice/options.h"

#include <charconv>
#include <cstdlib>

namespace devservice {

namespace {

std::optional<std::int64_t> ParseDecimal(const std::string& text) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

}  // namespace

std::string HostPort::text() const {
  return host + ":" + std::to_string(port);
}

std::optional<HostPort> ParseHostPort(const std::string& text) {
  const auto colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return std::nullopt;
  const auto port = ParseDecimal(text.substr(colon + 1));
  if (!port || *port < 0 || *port > 65535) return std::nullopt;
  return HostPort{text.substr(0, colon), static_cast<int>(*port)};
}

std::string DefaultDataDir() {
  return ZELK_DEVSERVICE_DATA_DIR;
}

std::string DefaultKeyDir() {
  return ZELK_DEVSERVICE_KEY_DIR;
}

std::string DefaultFilesRoot() {
  return ZELK_DEVSERVICE_FILES_DIR;
}

std::string DefaultStateDir() {
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && *cache == '/') {
    return std::string(cache) + "/zelk-devservice";
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return std::string(home) + "/.cache/zelk-devservice";
  }
  return "/tmp/zelk-devservice";
}

ParsedOptions ParseOptions(const std::vector<std::string>& arguments) {
  ParsedOptions parsed;
  ServiceOptions& options = parsed.options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    if (name == "--help" || name == "-h") {
      parsed.showHelp = true;
      continue;
    }
    const bool takesValue = name == "--http" || name == "--files" || name == "--files-root" ||
                            name == "--files-codeset" || name == "--data" || name == "--state" ||
                            name == "--keys" || name == "--sign-lifetime";
    if (!takesValue) {
      parsed.error = "unknown option: " + name;
      return parsed;
    }
    if (i + 1 >= arguments.size()) {
      parsed.error = name + " needs a value";
      return parsed;
    }
    const std::string& value = arguments[++i];
    if (name == "--http" || name == "--files") {
      const auto address = ParseHostPort(value);
      if (!address) {
        parsed.error =
            name + " expects HOST:PORT with a port from 0 to 65535, got \"" + value + "\"";
        return parsed;
      }
      if (name == "--http") {
        options.http = *address;
      } else {
        options.files = *address;
      }
    } else if (name == "--files-root") {
      options.filesRoot = value;
    } else if (name == "--files-codeset") {
      options.filesCodeset = value;
    } else if (name == "--data") {
      options.dataDir = value;
    } else if (name == "--state") {
      options.stateDir = value;
    } else if (name == "--keys") {
      options.keyDir = value;
    } else {
      const auto seconds = ParseDecimal(value);
      if (!seconds || *seconds < 1 || *seconds > 365LL * 24 * 3600) {
        parsed.error = "--sign-lifetime expects seconds from 1 to one year, got \"" + value + "\"";
        return parsed;
      }
      options.signLifetimeSeconds = *seconds;
    }
  }
  if (options.dataDir.empty()) options.dataDir = DefaultDataDir();
  if (options.stateDir.empty()) options.stateDir = DefaultStateDir();
  if (options.keyDir.empty()) options.keyDir = DefaultKeyDir();
  if (options.filesRoot.empty()) options.filesRoot = DefaultFilesRoot();
  return parsed;
}

std::string UsageText() {
  return "Usage: zelk-devservice [options]\n"
         "\n"
         "The local development service of Tamsel: the web service and the file server on\n"
         "loopback with sample data. Its first output line names the addresses it bound, e.g.\n"
         "  zelk-devservice http=127.0.0.1:8096 files=-\n"
         "  zelk-devservice http=127.0.0.1:8096 files=127.0.0.1:8097   (with --files)\n"
         "\n"
         "Options:\n"
         "  --http HOST:PORT       address of the web service (default 127.0.0.1:8096);\n"
         "                         port 0 takes a free port\n"
         "  --files HOST:PORT      run the file server there (port 0 takes a free port); the\n"
         "                         file-server address endpoint announces it. Without it no\n"
         "                         files are served\n"
         "  --files-root DIR       folder of the served files, one folder per kind: Knowlege,\n"
         "                         App, UserProfile, Platform (default: the sample files the\n"
         "                         build generated, " +
         DefaultFilesRoot() +
         ")\n"
         "  --files-codeset NAME   the client's ANSI code page for file names and error texts\n"
         "                         (default UTF-8; GBK for a client in a GBK locale)\n"
         "  --data DIR             sample data folder (default: " +
         DefaultDataDir() +
         ")\n"
         "  --state DIR            folder for accounts, login signs, SMS codes, reports and\n"
         "                         messages (default: " +
         DefaultStateDir() +
         ")\n"
         "  --keys DIR             folder of the key pair that opens sealed values (default:\n"
         "                         " +
         DefaultKeyDir() +
         ")\n"
         "  --sign-lifetime SECS   lifetime of a login sign after the login (default " +
         std::to_string(kDefaultSignLifetimeSeconds) +
         ")\n"
         "  -h, --help             show this text\n"
         "\n"
         "Demo account: 13800000000 / 123456 (may download);\n"
         "              13800000001 / 123456 (has no download permission).\n"
         "SMS codes are printed to the log (standard error and devservice.log in the state\n"
         "folder) and stay valid for 5 minutes.\n"
         "Test switches (loopback development only):\n"
         "  GET /_dev/hijack?path=PATH&count=N   the next N replies of PATH carry the operator\n"
         "                                       hijack marker\n"
         "  GET /_dev/requests?path=PATH         how many requests of PATH arrived\n"
         "  GET /_dev/expire-signs[?uid=N]       expire login signs now\n"
         "  GET /_dev/files/drop?after=N[,N...][&count=K][&reset=1][&clear=1]\n"
         "                                       the next file-server connections are cut after\n"
         "                                       N bytes sent (one value per connection, the list\n"
         "                                       K times; reset=1 resets instead of closing)\n"
         "  GET /_dev/files/status               planned cuts left and cuts made\n";
}

}  // namespace devservice
