#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "devservice/reply.h"
#include "devservice/request.h"

namespace devservice {

class HijackSwitch;
class OutageSwitch;
class ServiceLog;

using Handler = std::function<Reply(const Request&)>;

// Maps normalised paths to handlers and is the boundary every request passes: whatever a
// handler raises becomes a {"result":0,"msg":…} reply, so no query can bring the service down.
class Router {
 public:
  // `outages`, when given, makes chosen requests fail before their handler runs.
  Router(HijackSwitch& hijack, ServiceLog& log, OutageSwitch* outages = nullptr)
      : hijack_(hijack), log_(log), outages_(outages) {}

  // `path` as a client writes it ("zelk/NewsApi.aspx"); matched after normalisation.
  void add(const std::string& path, Handler handler);
  // Every path that starts with the prefix (folders of pictures).
  void addPrefix(const std::string& prefix, Handler handler);

  Reply dispatch(const Request& request) const;
  std::vector<std::string> paths() const;
  // How many requests of a path (normalised) arrived so far, answered or not; tests of the
  // client's retry rule count the requests the service saw.
  int requestCount(const std::string& path) const;

 private:
  Reply call(const Request& request) const;

  HijackSwitch& hijack_;
  ServiceLog& log_;
  OutageSwitch* outages_;
  std::map<std::string, Handler> exact_;
  std::vector<std::pair<std::string, Handler>> prefixes_;
  mutable std::mutex countsMutex_;
  mutable std::map<std::string, int> counts_;
};

}  // namespace devservice
