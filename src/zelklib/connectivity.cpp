#include "zelklib/connectivity.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>

#include "platform/service_host.h"

namespace zelklib {
namespace {

struct AddressListFree {
  void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

bool connectWithin(const addrinfo& address, std::chrono::steady_clock::time_point deadline) {
  const int fd = socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                        address.ai_protocol);
  if (fd < 0) return false;
  bool connected = connect(fd, address.ai_addr, address.ai_addrlen) == 0;
  if (!connected && errno == EINPROGRESS) {
    while (true) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd entry{fd, POLLOUT, 0};
      const int rc = poll(&entry, 1, static_cast<int>(left.count()));
      if (rc < 0 && errno == EINTR) continue;
      if (rc <= 0) break;
      int error = 0;
      socklen_t length = sizeof error;
      connected = getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
      break;
    }
  }
  close(fd);
  return connected;
}

}  // namespace

bool CanConnect(const std::string& hostAndPort, int timeoutMs) {
  std::string host;
  int port = 0;
  if (!platform::SplitHostAndPort(hostAndPort, platform::kServicePort, host, port)) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  const std::unique_ptr<addrinfo, AddressListFree> list(found);
  for (const addrinfo* address = list.get(); address != nullptr; address = address->ai_next) {
    if (std::chrono::steady_clock::now() >= deadline) break;
    if (connectWithin(*address, deadline)) return true;
  }
  return false;
}

ConnectivityCache::ConnectivityCache(platform::Clock& clock, Probe probe, std::int64_t maxAgeMs)
    : clock_(clock), probe_(std::move(probe)), maxAgeMs_(maxAgeMs) {}

bool ConnectivityCache::reachable(const std::string& target) {
  std::lock_guard lock(mutex_);
  const std::int64_t now = clock_.nowMs();
  if (probedAtMs_ && target == target_ && now - *probedAtMs_ < maxAgeMs_ && now >= *probedAtMs_) {
    return answer_;
  }
  answer_ = probe_(target);
  target_ = target;
  probedAtMs_ = clock_.nowMs();
  return answer_;
}

}  // namespace zelklib
