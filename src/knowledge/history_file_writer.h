#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace knowledge {

// What tells one version of a file on disk from another.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;
  bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> StampOfFile(const std::string& path);

// Writes the contents of one file on a thread of its own, each through a temporary file and a
// rename, so that the thread handing them over never waits for the disk. Only the newest
// content matters: one handed over while another is written replaces any still waiting. What
// was handed over is written before the object goes.
class HistoryFileWriter {
 public:
  // The state of the writes, for the one who hands contents over.
  struct Progress {
    std::uint64_t handedOver = 0;        // contents handed over so far
    std::uint64_t settled = 0;           // of those, the ones written, replaced or failed
    std::uint64_t failures = 0;          // writes that failed so far
    bool lastOk = true;                  // whether the newest write that ended succeeded
    std::optional<FileStamp> lastStamp;  // the file it left, when it succeeded
    bool busy() const { return settled < handedOver; }
  };

  explicit HistoryFileWriter(std::string path);
  ~HistoryFileWriter();
  HistoryFileWriter(const HistoryFileWriter&) = delete;
  HistoryFileWriter& operator=(const HistoryFileWriter&) = delete;

  void Save(std::string content);
  // Waits until everything handed over so far is settled.
  void Flush();
  Progress State() const;

 private:
  void run();

  const std::string path_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<std::string> waiting_;
  Progress progress_;
  bool ending_ = false;
  std::thread thread_;  // started with the first content
};

}  // namespace knowledge
