#include "zelklib/system_facts.h"

#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <sstream>

#include "platform/paths.h"

#ifndef ZELK_WEB_ENGINE_VERSION
#error "ZELK_WEB_ENGINE_VERSION must be defined by the build"
#endif

namespace zelklib {
namespace {

struct InterfaceListFree {
  void operator()(ifaddrs* list) const { freeifaddrs(list); }
};

}  // namespace

std::string PrettyNameFromOsRelease(std::string_view osRelease) {
  std::istringstream lines{std::string(osRelease)};
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
    std::string value = line.substr(12);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return value;
  }
  return {};
}

std::string OperatingSystemName() {
  std::string osRelease;
  if (!platform::ReadWholeFile("/etc/os-release", osRelease))
    platform::ReadWholeFile("/usr/lib/os-release", osRelease);
  std::string name = PrettyNameFromOsRelease(osRelease);
  utsname system{};
  if (uname(&system) == 0) {
    const std::string kernel =
        std::string(system.sysname) + " " + system.release + " " + system.machine;
    name = name.empty() ? kernel : name + " (" + kernel + ")";
  }
  return name;
}

std::string FormatMacAddress(const unsigned char* bytes, std::size_t length) {
  std::string text;
  for (std::size_t i = 0; i < length; ++i) {
    char part[4];
    std::snprintf(part, sizeof part, i == 0 ? "%02X" : "-%02X", bytes[i]);
    text += part;
  }
  return text;
}

std::string FirstMacAddress() {
  ifaddrs* found = nullptr;
  if (getifaddrs(&found) != 0) return {};
  const std::unique_ptr<ifaddrs, InterfaceListFree> list(found);
  for (const ifaddrs* entry = list.get(); entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_PACKET) continue;
    if ((entry->ifa_flags & IFF_LOOPBACK) != 0) continue;
    const auto* link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
    if (link->sll_halen == 0) continue;
    const unsigned char* bytes = link->sll_addr;
    if (std::all_of(bytes, bytes + link->sll_halen, [](unsigned char b) { return b == 0; }))
      continue;
    return FormatMacAddress(bytes, link->sll_halen);
  }
  return {};
}

std::string ComputerName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::string WebEngineVersion() {
  return ZELK_WEB_ENGINE_VERSION;
}

bool Is64BitSystem() {
  utsname system{};
  if (uname(&system) != 0) return sizeof(void*) == 8;
  const std::string machine = system.machine;
  return machine.find("64") != std::string::npos || machine == "s390x";
}

}  // namespace zelklib
