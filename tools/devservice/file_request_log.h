#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace devservice {

// A test switch's record of the file server: the first download request of each connection
// (store, file name, offset), in the order they arrived. A resumed transfer shows itself as a
// connection whose first request starts past 0. Keeps the latest kMaxEntries. Safe to use from
// every thread.
class FileRequestLog {
 public:
  struct Entry {
    std::int32_t store = 0;
    std::string fileName;  // UTF-8
    std::int64_t offset = 0;
  };

  static constexpr std::size_t kMaxEntries = 1000;

  void add(Entry entry);
  std::vector<Entry> entries() const;

 private:
  mutable std::mutex mutex_;
  std::deque<Entry> entries_;
};

}  // namespace devservice
