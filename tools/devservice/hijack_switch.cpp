#include "devservice/hijack_switch.h"

#include "devservice/text_util.h"

namespace devservice {

void HijackSwitch::arm(const std::string& path, int count) {
  std::lock_guard lock(mutex_);
  const std::string key = NormalizeRequestPath(path);
  if (count > 0) {
    remaining_[key] = count;
  } else {
    remaining_.erase(key);
  }
}

bool HijackSwitch::take(const std::string& path) {
  std::lock_guard lock(mutex_);
  const auto found = remaining_.find(path);
  if (found == remaining_.end()) return false;
  if (--found->second <= 0) remaining_.erase(found);
  return true;
}

int HijackSwitch::remaining(const std::string& path) const {
  std::lock_guard lock(mutex_);
  const auto found = remaining_.find(NormalizeRequestPath(path));
  return found == remaining_.end() ? 0 : found->second;
}

std::string HijackPage() {
  // An operator's page sends the browser to the operator's own host. This one names loopback,
  // so that a web view that follows it sends nothing off this machine; the marker is what the
  // client looks for.
  const std::string target = std::string("http://127.0.0.1/") + kHijackMarker + "?ad=1";
  return "<html><head><meta http-equiv=\"refresh\" content=\"0;url=" + target +
         "\"></head><body><script>location.href='" + target + "';</script></body></html>";
}

}  // namespace devservice
