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
  return std::string(
             "<html><head><meta http-equiv=\"refresh\" content=\"0;url=http://10.0.0.172/") +
         kHijackMarker + "?ad=1\"></head><body><script>location.href='http://10.0.0.172/" +
         kHijackMarker + "?ad=1';</script></body></html>";
}

}  // namespace devservice
