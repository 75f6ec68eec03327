#include "routed_namespaces.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

namespace knowledge_testing {
namespace {

// Puts the calling thread into a named network namespace and back home when the scope ends.
class NamespaceScope {
 public:
  explicit NamespaceScope(const std::string& name)
      : home_(open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC)) {
    const int target = open(("/var/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    entered_ = home_ >= 0 && target >= 0 && setns(target, CLONE_NEWNET) == 0;
    if (target >= 0) close(target);
  }
  ~NamespaceScope() {
    // A test thread left in the wrong namespace would send every later test's traffic there.
    if (entered_ && setns(home_, CLONE_NEWNET) != 0) std::abort();
    if (home_ >= 0) close(home_);
  }
  NamespaceScope(const NamespaceScope&) = delete;
  NamespaceScope& operator=(const NamespaceScope&) = delete;

  bool entered() const { return entered_; }

 private:
  int home_;
  bool entered_ = false;
};

// A setting under /proc/sys/net belongs to the namespace of the thread that opens it.
bool writeSetting(const char* path, const char* value) {
  std::ofstream file(path);
  file << value << '\n';
  file.flush();
  return static_cast<bool>(file);
}

}  // namespace

RoutedNamespaces::RoutedNamespaces() {
  std::random_device random;
  char tag[16];
  std::snprintf(tag, sizeof tag, "zt%06x", random() & 0xFFFFFFu);
  tag_ = tag;
  available_ = setUp();
}

RoutedNamespaces::~RoutedNamespaces() {
  if (listening_ >= 0) close(listening_);
  for (auto made = made_.rbegin(); made != made_.rend(); ++made) run("ip netns del " + *made);
}

std::string RoutedNamespaces::name(const char* role) const {
  return "zelk-" + tag_ + "-" + role;
}

bool RoutedNamespaces::run(const std::string& command) const {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

bool RoutedNamespaces::setUp() {
  for (const char* role : {"client", "router", "server"}) {
    if (!run("ip netns add " + name(role))) return false;
    made_.push_back(name(role));
  }
  const std::string client = name("client");
  const std::string router = name("router");
  const std::string server = name("server");
  // Each veth end is named after the tag, its own side and the side it faces.
  const std::string clientEnd = tag_ + "cr";
  const std::string routerToClient = tag_ + "rc";
  const std::string routerToServer = tag_ + "rs";
  const std::string serverEnd = tag_ + "sr";
  const bool linked = run("ip link add " + clientEnd + " netns " + client +
                          " type veth peer name " + routerToClient + " netns " + router) &&
                      run("ip link add " + routerToServer + " netns " + router +
                          " type veth peer name " + serverEnd + " netns " + server) &&
                      run("ip -n " + client + " addr add 192.0.2.2/24 dev " + clientEnd) &&
                      run("ip -n " + router + " addr add 192.0.2.1/24 dev " + routerToClient) &&
                      run("ip -n " + router + " addr add 198.51.100.1/24 dev " + routerToServer) &&
                      run("ip -n " + server + " addr add 198.51.100.2/24 dev " + serverEnd) &&
                      run("ip -n " + client + " link set " + clientEnd + " up") &&
                      run("ip -n " + router + " link set " + routerToClient + " up") &&
                      run("ip -n " + router + " link set " + routerToServer + " up") &&
                      run("ip -n " + server + " link set " + serverEnd + " up") &&
                      run("ip -n " + client + " route add default via 192.0.2.1") &&
                      run("ip -n " + server + " route add default via 198.51.100.1");
  if (!linked) return false;
  bool configured = false;
  inNamespace(router, [&] { configured = writeSetting("/proc/sys/net/ipv4/ip_forward", "1"); });
  // The client's system gives unacknowledged data up after one retransmission instead of
  // fifteen: a dead path then shows in about two seconds instead of a quarter of an hour.
  inNamespace(client, [&] {
    configured = configured && writeSetting("/proc/sys/net/ipv4/tcp_retries2", "1");
  });
  return configured;
}

void RoutedNamespaces::inNamespace(const std::string& name,
                                   const std::function<void()>& action) const {
  const NamespaceScope scope(name);
  if (!scope.entered()) throw std::runtime_error("cannot enter network namespace " + name);
  action();
}

void RoutedNamespaces::inClient(const std::function<void()>& action) const {
  inNamespace(name("client"), action);
}

std::int32_t RoutedNamespaces::listenOnServer() {
  inNamespace(name("server"),
              [this] { listening_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0); });
  if (listening_ < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  inet_pton(AF_INET, kServerIp, &address.sin_addr);
  socklen_t length = sizeof address;
  if (bind(listening_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listening_, 16) != 0 ||
      getsockname(listening_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return 0;
  }
  return ntohs(address.sin_port);
}

void RoutedNamespaces::cut(Cut how) const {
  const std::string router = "ip -n " + name("router") + " ";
  const std::string toServer = std::string(kServerIp) + "/32";
  bool done = false;
  switch (how) {
    case Cut::Silently:
      done = run(router + "route add blackhole " + toServer);
      break;
    case Cut::HostUnreachable:
      done = run(router + "route add unreachable " + toServer);
      break;
    case Cut::NetworkUnreachable:
      // The link goes and its route with it; the router has no default route to fall back on.
      done = run(router + "link set " + tag_ + "rs down");
      break;
  }
  if (!done) throw std::runtime_error("cannot cut the route to the server");
}

}  // namespace knowledge_testing
