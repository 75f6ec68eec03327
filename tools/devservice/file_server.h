#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "devservice/connection_drop_plan.h"
#include "devservice/file_request_log.h"
#include "devservice/file_store.h"
#include "devservice/file_transfer_pace.h"
#include "devservice/options.h"

namespace devservice {

class ServiceLog;

struct FileServerSettings {
  HostPort address{"127.0.0.1", 0};  // port 0: a free port chosen by the system
  std::string root;                  // the files root with one folder per store
  std::string codeset = "UTF-8";     // the client's "ANSI" code page
  int maxConnections = 64;           // connections served at once; more are told to retry
  // A connection that sends nothing (or reads nothing) this long is closed, so that dead
  // peers do not keep their threads.
  std::chrono::milliseconds idleTimeout = std::chrono::minutes(5);
  // Test switches, when given (they outlive the server): the rate limit of each connection and
  // the record of each connection's first request.
  const FileTransferPace* pace = nullptr;
  FileRequestLog* requests = nullptr;
};

// The file server of the development service: listens on TCP and serves each connection on a
// thread of its own (FileServerSession), at most maxConnections at once.
class FileServer {
 public:
  // Raises std::runtime_error when the files root is not a folder or the code page is unknown.
  FileServer(FileServerSettings settings, ServiceLog& log, ConnectionDropPlan& drops);
  ~FileServer();
  FileServer(const FileServer&) = delete;
  FileServer& operator=(const FileServer&) = delete;

  // Binds, listens and starts accepting; returns the bound address (numeric host, real
  // port). Raises std::runtime_error when the address cannot be bound.
  HostPort start();
  // Stops accepting, ends every connection and waits for their threads.
  void stop();

  std::int64_t connectionsAccepted() const { return accepted_.load(); }
  int activeConnections() const;
  // The most connections served at the same time since the start.
  int peakActiveConnections() const;
  // Waits until at most `count` connections are being served; false after the timeout.
  // Connections beyond maxConnections wait in the listen queue until one ends.
  bool waitForActiveAtMost(int count, std::chrono::milliseconds timeout) const;

 private:
  struct Connection {
    int fd = -1;
    std::thread thread;
    bool finished = false;  // guarded by mutex_
  };

  void acceptLoop();
  void admit(int fd, const std::string& peer);
  void serve(Connection& connection, const std::string& peer,
             std::optional<ConnectionDropPlan::Cut> cut);
  // Joins the threads of finished connections and forgets them. Called with mutex_ held.
  void reapFinished();
  void wake();

  const FileServerSettings settings_;
  ServiceLog& log_;
  ConnectionDropPlan& drops_;
  FileStore store_;
  int listenFd_ = -1;
  int wakeFd_ = -1;  // an eventfd that ends the accept loop's wait
  std::thread acceptThread_;
  std::atomic<bool> stopping_{false};
  std::atomic<std::int64_t> accepted_{0};

  mutable std::mutex mutex_;
  mutable std::condition_variable connectionEnded_;
  std::list<Connection> connections_;  // guarded by mutex_
  int active_ = 0;                     // guarded by mutex_
  int peakActive_ = 0;                 // guarded by mutex_
};

}  // namespace devservice
