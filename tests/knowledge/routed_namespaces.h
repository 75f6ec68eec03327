#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace knowledge_testing {

// A small network of the test's own: three network namespaces, client, router and server,
// joined by two veth pairs (client 192.0.2.2 — 192.0.2.1 router 198.51.100.1 — 198.51.100.2
// server, documentation ranges). Its packets never leave those namespaces, and the router can be
// told to stop carrying them towards the server the ways a dead network does.
//
// Making namespaces takes the right to administer the network (root); without it, or without
// the `ip` tool, available() is false and nothing was made.
class RoutedNamespaces {
 public:
  static constexpr char kServerIp[] = "198.51.100.2";

  // How the router fails the packets towards the server.
  enum class Cut {
    Silently,            // dropped without a word
    HostUnreachable,     // answered with "host unreachable"
    NetworkUnreachable,  // answered with "network unreachable": the router has no route at all
  };

  RoutedNamespaces();
  ~RoutedNamespaces();
  RoutedNamespaces(const RoutedNamespaces&) = delete;
  RoutedNamespaces& operator=(const RoutedNamespaces&) = delete;

  bool available() const { return available_; }

  // Runs `action` on the calling thread inside the client's namespace: the sockets it makes and
  // the threads it starts belong there for good.
  void inClient(const std::function<void()>& action) const;
  // A socket of the server's namespace that listens on kServerIp; nobody accepts, the system
  // completes connections through the backlog. Returns its port, 0 on failure.
  std::int32_t listenOnServer();

  void cut(Cut how) const;

 private:
  bool setUp();
  bool run(const std::string& command) const;
  std::string name(const char* role) const;
  void inNamespace(const std::string& name, const std::function<void()>& action) const;

  std::string tag_;
  std::vector<std::string> made_;
  bool available_ = false;
  int listening_ = -1;
};

}  // namespace knowledge_testing
