#include "devservice/connection_drop_plan.h"

namespace devservice {

bool ConnectionDropPlan::add(const std::vector<std::int64_t>& afterBytes, int times, bool reset) {
  std::lock_guard lock(mutex_);
  if (times < 0) return false;
  const std::size_t adding = afterBytes.size() * static_cast<std::size_t>(times);
  if (adding > kMaxPending - cuts_.size()) return false;
  for (int round = 0; round < times; ++round) {
    for (const std::int64_t bytes : afterBytes) cuts_.push_back(Cut{bytes, reset});
  }
  return true;
}

void ConnectionDropPlan::clear() {
  std::lock_guard lock(mutex_);
  cuts_.clear();
}

std::optional<ConnectionDropPlan::Cut> ConnectionDropPlan::takeNext() {
  std::lock_guard lock(mutex_);
  if (cuts_.empty()) return std::nullopt;
  const Cut cut = cuts_.front();
  cuts_.pop_front();
  return cut;
}

void ConnectionDropPlan::recordCut() {
  std::lock_guard lock(mutex_);
  ++cutsDone_;
}

std::size_t ConnectionDropPlan::pending() const {
  std::lock_guard lock(mutex_);
  return cuts_.size();
}

std::int64_t ConnectionDropPlan::cutsDone() const {
  std::lock_guard lock(mutex_);
  return cutsDone_;
}

}  // namespace devservice
