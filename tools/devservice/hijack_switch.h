#pragma once

#include <map>
#include <mutex>
#include <string>

namespace devservice {

// The text a network operator's injected page holds; the client repeats a GET whose reply
// contains it.
inline constexpr char kHijackMarker[] = "ipush_jsp/server.jsp";

// A test switch: the next N replies of a path are replaced by an operator's redirect page that
// carries the hijack marker. Paths are normalised as requests are.
class HijackSwitch {
 public:
  void arm(const std::string& path, int count);
  // True (and one use consumed) when the next reply of the path is to be hijacked.
  bool take(const std::string& path);
  int remaining(const std::string& path) const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, int> remaining_;
};

// The page an operator would inject.
std::string HijackPage();

}  // namespace devservice
