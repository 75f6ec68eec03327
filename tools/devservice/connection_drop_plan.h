#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace devservice {

// A test switch of the file server: the next connections it accepts are cut after a chosen
// number of bytes that the server has sent on them (length fields included), so that tests of
// the client's resume can break a transfer anywhere, inside a frame too. Each planned cut is
// used by one connection, in the order they were added; connections beyond the plan run
// normally. Safe to use from every thread.
class ConnectionDropPlan {
 public:
  struct Cut {
    std::int64_t afterBytes = 0;
    bool reset = false;  // end with a reset (RST) instead of an orderly close
  };

  // At most this many cuts wait at any time; add() refuses more.
  static constexpr std::size_t kMaxPending = 100'000;

  // Appends the cuts `times` times over, in order. False (nothing added) when that would
  // exceed kMaxPending.
  bool add(const std::vector<std::int64_t>& afterBytes, int times, bool reset);
  void clear();
  // The cut for a connection being accepted, if any is planned.
  std::optional<Cut> takeNext();
  // Called by the server when it has cut a connection as planned.
  void recordCut();

  std::size_t pending() const;
  std::int64_t cutsDone() const;

 private:
  mutable std::mutex mutex_;
  std::deque<Cut> cuts_;
  std::int64_t cutsDone_ = 0;
};

}  // namespace devservice
