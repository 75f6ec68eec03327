#include "devservice/outage_switch.h"

#include <algorithm>

#include "devservice/request.h"
#include "devservice/text_util.h"

namespace devservice {

namespace {

bool SameCondition(const std::optional<OutageSwitch::Condition>& a,
                   const std::optional<OutageSwitch::Condition>& b) {
  if (!a || !b) return !a && !b;
  return ToLowerAscii(a->parameter) == ToLowerAscii(b->parameter) && a->value == b->value;
}

}  // namespace

bool OutageSwitch::arm(const std::string& path, std::optional<Condition> condition, int count) {
  const std::string key = NormalizeRequestPath(path);
  std::lock_guard lock(mutex_);
  std::erase_if(armed_, [&](const Armed& armed) {
    return armed.path == key && SameCondition(armed.condition, condition);
  });
  if (count <= 0) return true;
  if (armed_.size() >= kMaxArmed) return false;
  armed_.push_back({key, std::move(condition), count});
  return true;
}

bool OutageSwitch::take(const Request& request) {
  std::lock_guard lock(mutex_);
  const auto found = std::find_if(armed_.begin(), armed_.end(), [&](const Armed& armed) {
    return armed.path == request.path() &&
           (!armed.condition || request.optionalText(armed.condition->parameter) ==
                                    std::optional<std::string>(armed.condition->value));
  });
  if (found == armed_.end()) return false;
  if (--found->remaining <= 0) armed_.erase(found);
  return true;
}

}  // namespace devservice
