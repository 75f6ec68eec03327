#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "core/service_context.h"
#include "knowledge/download_record.h"
#include "knowledge/file_server_connection.h"
#include "knowledge/file_server_query.h"
#include "knowledge/log_sink.h"
#include "platform/message_loop.h"

namespace knowledge {

// Fetches one file at a time from the file server into a local file, on a worker thread of its
// own: resumes from whatever part of the file is on disk, retries failed attempts (5 s apart),
// and tells its window what happens with WM_DOWNLOAD_STARTED, WM_DOWNLOAD_PROGRESS (at most every
// 500 ms besides the first and the last) and WM_DOWNLOAD_ENDED. The engine knows nothing of
// lists or history; the window reacts to its messages.
//
// Every pause and time measure goes through the loop's clock, so a test with a manual clock
// runs retry pauses and receive rounds at once. StartDownload, StopDownload and IsRunning are
// called on the window thread.
class DownloadEngine {
 public:
  // `context`: the support library, the loop and the main window (which gets WM_NETWORK_ERROR);
  // they outlive every worker. `log`: where the engine's log lines go. `connectTimeout`: how
  // long one connect to the file server may wait for an answer.
  DownloadEngine(const core::ServiceContext& context, LogSink log,
                 std::chrono::milliseconds connectTimeout = kDefaultConnectTimeout);
  // Stops a running transfer without waiting for it; its worker ends on its own and whatever it
  // posts to a window that is gone is dropped.
  ~DownloadEngine();
  DownloadEngine(const DownloadEngine&) = delete;
  DownloadEngine& operator=(const DownloadEngine&) = delete;

  // Starts fetching `fileName` of the kind's store into `localFullName`; nothing happens with an
  // empty file name. False (with a log line) while the previous transfer's worker still runs:
  // callers stop it first.
  bool StartDownload(platform::WindowId window, const std::u16string& fileName,
                     const std::u16string& localFullName, StoreFileKind kind,
                     FileServerQuery serverQuery, std::int32_t maxRetries);
  // Ends the running transfer: no further attempt, the socket is shut so that a worker waiting
  // in connect or recv returns at once, then waits while handling window messages until the
  // worker has ended. Its WM_DOWNLOAD_ENDED is handled inside this wait; a transfer that a
  // handler starts meanwhile runs on and is not waited for.
  void StopDownload();
  bool IsRunning() const;

  // The file server address the engine keeps between transfers.
  FileServerAddress serverAddress() const;

  // State shared with the worker thread of a transfer.
  struct Shared {
    std::atomic<bool> running{false};
    // Workers started and ended so far: one runs while they differ, and a stop waits for the
    // ones started before it.
    std::atomic<std::uint64_t> workersStarted{0};
    std::atomic<std::uint64_t> workersEnded{0};
    std::atomic<std::int32_t> maxRetries{0};
    mutable std::mutex mutex;
    FileServerAddress address;                         // guarded by mutex
    std::shared_ptr<FileServerConnection> connection;  // guarded by mutex
  };

 private:
  core::ServiceContext context_;
  LogSink log_;
  std::chrono::milliseconds connectTimeout_;
  std::shared_ptr<Shared> shared_;
};

}  // namespace knowledge
