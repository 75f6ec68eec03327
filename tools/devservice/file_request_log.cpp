#include "devservice/file_request_log.h"

namespace devservice {

void FileRequestLog::add(Entry entry) {
  std::lock_guard lock(mutex_);
  entries_.push_back(std::move(entry));
  if (entries_.size() > kMaxEntries) entries_.pop_front();
}

std::vector<FileRequestLog::Entry> FileRequestLog::entries() const {
  std::lock_guard lock(mutex_);
  return {entries_.begin(), entries_.end()};
}

}  // namespace devservice
