#include "knowledge/history_file_writer.h"

#include <sys/stat.h>

#include "platform/alternate_signal_stack.h"
#include "platform/paths.h"

namespace knowledge {

std::optional<FileStamp> StampOfFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return FileStamp{
      static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
      static_cast<std::int64_t>(info.st_size),
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

HistoryFileWriter::HistoryFileWriter(std::string path) : path_(std::move(path)) {}

HistoryFileWriter::~HistoryFileWriter() {
  {
    const std::lock_guard lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void HistoryFileWriter::Save(std::string content) {
  {
    const std::lock_guard lock(mutex_);
    // A content still waiting is never written now: it counts as settled.
    if (waiting_) ++progress_.settled;
    waiting_ = std::move(content);
    ++progress_.handedOver;
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
  }
  changed_.notify_all();
}

void HistoryFileWriter::Flush() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !progress_.busy(); });
}

HistoryFileWriter::Progress HistoryFileWriter::State() const {
  const std::lock_guard lock(mutex_);
  return progress_;
}

void HistoryFileWriter::run() {
  const platform::AlternateSignalStack signalStack;
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return waiting_.has_value() || ending_; });
    if (!waiting_) return;  // ending with nothing left to write
    const std::string content = std::move(*waiting_);
    waiting_.reset();
    lock.unlock();
    const bool ok = platform::WriteFileAtomically(path_, content);
    const std::optional<FileStamp> stamp = ok ? StampOfFile(path_) : std::nullopt;
    lock.lock();
    ++progress_.settled;
    progress_.lastOk = ok;
    progress_.lastStamp = stamp;
    if (!ok) ++progress_.failures;
    changed_.notify_all();
  }
}

}  // namespace knowledge
