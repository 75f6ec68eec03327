#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "devservice/connection_drop_plan.h"
#include "devservice/file_request_log.h"
#include "devservice/file_server_frames.h"
#include "devservice/file_store.h"
#include "devservice/file_transfer_pace.h"

namespace devservice {

class ServiceLog;

// Texts of the file server's error messages (UTF-8 here; sent in the client's code page).
// The first part of the not-found text is what the client looks for to stop retrying.
inline constexpr char kFileNotOnServerText[] = "服务器上不存在文件";
inline constexpr char kServerBusyText[] = "文件服务器连接已满，请稍后再试";

// One connection of the file server, on its own thread: reads the client's frames and answers
// every download request with the block that starts at its offset, or with an error message,
// until the client sends a stop, closes, stays silent too long or breaks the framing. It does
// not close the socket; the server does when run() returns.
class FileServerSession {
 public:
  struct Settings {
    const FileStore& store;
    std::string codeset;  // the client's "ANSI" code page, e.g. "UTF-8" or "GBK"
    std::optional<ConnectionDropPlan::Cut> cut;
    ConnectionDropPlan& plan;
    ServiceLog& log;
    const FileTransferPace* pace = nullptr;  // holds back each data block when set
    FileRequestLog* requests = nullptr;      // gets the connection's first request when set
  };

  FileServerSession(int fd, std::string peer, Settings settings);
  void run();

  // The answer to one request, as a whole frame (pure apart from reading the store).
  std::string answer(const FileRequest& request);

 private:
  enum class ReadResult { kOk, kClosed, kTimedOut, kFailed };
  ReadResult readExactly(std::string& buffer, std::size_t count);
  // False when the connection has ended: the peer is gone or the planned cut was made.
  bool send(const std::string& frame);
  void cut();
  void recordFirstRequest(const FileRequest& request);
  void log(const std::string& line);
  // The requested name in UTF-8, or nullopt when it is not text of the client's code page.
  std::optional<std::string> nameInUtf8(const std::string& name) const;
  std::string encodeText(const std::string& utf8) const;
  std::string errorFrame(const std::string& utf8Text) const;

  const int fd_;
  const std::string peer_;
  Settings settings_;
  std::optional<std::int64_t> budget_;  // bytes left before the planned cut
  bool firstRequestLogged_ = false;
  // The file of the previous request, kept open for the next block of the same file.
  std::int32_t openKind_ = -1;
  std::string openName_;
  std::optional<StoredFile> openFile_;
};

}  // namespace devservice
