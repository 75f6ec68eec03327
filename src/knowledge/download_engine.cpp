#include "knowledge/download_engine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <exception>

#include "core/window_messages.h"
#include "knowledge/download_messages.h"
#include "knowledge/file_server_messages.h"
#include "knowledge/socket_error_text.h"
#include "knowledge/transfer_error.h"
#include "platform/code_page.h"

namespace knowledge {
namespace {

constexpr int kConnectRounds = 5;
constexpr int kAddressQueries = 3;
constexpr std::int64_t kRetryPauseMs = 5000;
constexpr std::int64_t kRoundPauseMs = 1;
constexpr std::int64_t kEmptyRoundPauseMs = 20;
constexpr int kMaxEmptyRounds = 10;
constexpr std::int64_t kProgressIntervalMs = 500;
constexpr std::int64_t kFileInUsePauseMs = 1000;
constexpr int kMaxFileInUseWaits = 100;
constexpr std::int64_t kStopSleepMs = 100;
constexpr std::int64_t kStopPumpMs = 50;

constexpr char16_t kSocketFailedReason[] = u"初始化SOCKET失败.";
constexpr char16_t kNoConnectionReason[] = u"无法与文件服务器建立连线，请检查网络.";
constexpr char16_t kLostContactReason[] = u"与文件服务器失去联系";
constexpr char16_t kUnknownReason[] = u"未知原因";
constexpr char16_t kBlockOffsetReason[] = u"文件服务器返回的数据块位置与本地文件长度不一致.";
constexpr char16_t kTotalChangedReason[] = u"文件服务器返回的文件长度发生了变化.";
constexpr char16_t kLocalFileReason[] = u"无法写入本地文件 ";
constexpr char16_t kLocalFileTooLargeReason[] = u"本地文件超过文件服务器能续传的长度.";

std::u16string number(std::int64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string fromAnsi(const std::string& text) {
  if (auto wide = platform::AnsiToUtf16(text)) return *wide;
  return platform::Utf8ToUtf16(text);
}

bool contains(const std::u16string& text, std::u16string_view part) {
  return text.find(part) != std::u16string::npos;
}

// The local file of one attempt, open for appending.
class LocalFile {
 public:
  LocalFile() = default;
  ~LocalFile() { close(); }
  LocalFile(const LocalFile&) = delete;
  LocalFile& operator=(const LocalFile&) = delete;

  bool open(const std::string& path) {
    close();
    handle_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    return handle_ >= 0;
  }
  std::int64_t size() const {
    struct stat info {};
    return fstat(handle_, &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
  }
  bool append(std::string_view data) {
    while (!data.empty()) {
      const ssize_t n = ::write(handle_, data.data(), data.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }
  bool flushToDisk() { return fsync(handle_) == 0; }
  void close() {
    if (handle_ >= 0) ::close(handle_);
    handle_ = -1;
  }

 private:
  int handle_ = -1;
};

// One transfer: the worker's side of the engine.
class Transfer {
 public:
  Transfer(std::shared_ptr<DownloadEngine::Shared> shared, core::ServiceContext context,
           LogSink log, platform::WindowId window, std::u16string fileName,
           std::u16string localPath, StoreFileKind kind, FileServerQuery query,
           std::chrono::milliseconds connectTimeout)
      : shared_(std::move(shared)),
        context_(context),
        log_(std::move(log)),
        window_(window),
        fileName_(std::move(fileName)),
        localPath_(std::move(localPath)),
        kind_(kind),
        query_(std::move(query)),
        connectTimeout_(connectTimeout),
        clock_(context_.loop->clock()) {}

  void run();

 private:
  void attempt();
  bool connect(FileServerConnection& connection);
  void refreshAddress();
  void waitWhileFileInUse();
  void receiveBlocks(FileServerConnection& connection, LocalFile& file, std::int64_t local);
  void endStopped(FileServerConnection& connection);
  void postProgress(std::int32_t total, std::int32_t done);
  void log(const std::u16string& line) const { WriteLogLine(log_, line); }
  FileServerAddress address() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->address;
  }
  std::u16string endpoint(const std::string& host, std::int32_t port) const {
    return fromAnsi(host) + u":" + number(port);
  }

  std::shared_ptr<DownloadEngine::Shared> shared_;
  core::ServiceContext context_;
  LogSink log_;
  platform::WindowId window_;
  std::u16string fileName_;
  std::u16string localPath_;
  StoreFileKind kind_;
  FileServerQuery query_;
  std::chrono::milliseconds connectTimeout_;
  platform::Clock& clock_;

  std::string fileNameAnsi_;
  std::int32_t result_ = kDownloadResultOther;
  bool finished_ = false;
  std::int64_t lastProgressMs_ = 0;
};

void Transfer::postProgress(std::int32_t total, std::int32_t done) {
  context_.loop->post(
      window_, core::WM_DOWNLOAD_PROGRESS,
      platform::Payload::make<DownloadProgress>(DownloadProgress{fileName_, kind_, total, done}));
  lastProgressMs_ = clock_.nowMs();
}

void Transfer::refreshAddress() {
  if (!query_) return;
  // A stopped transfer asks no more: each query is a request to the service.
  for (int i = 0; i < kAddressQueries && shared_->running; ++i) {
    try {
      FileServerAddress found;
      if (query_(kind_, fileName_, found)) {
        std::lock_guard lock(shared_->mutex);
        shared_->address = found;
        return;
      }
    } catch (...) {
      log(u"初始化申请文件服务器失败");
    }
  }
}

bool Transfer::connect(FileServerConnection& connection) {
  bool connected = false;
  for (int round = 0; round < kConnectRounds && shared_->running; ++round) {
    const FileServerAddress known = address();
    if (known.known()) {
      connected = connection.ConnectByAddress(known.ServerIp, known.ServerPort);
      if (!connected) {
        log(u"连接到文件服务器 " + endpoint(known.ServerIp, known.ServerPort) + u" 失败");
      }
    }
    if (!connected && known.ServerPort > 0 && !known.ServerHost.empty()) {
      connected = connection.ConnectByHost(known.ServerHost, known.ServerPort);
      if (!connected) {
        log(u"连接到文件服务器 " + endpoint(known.ServerHost, known.ServerPort) + u" 失败");
      }
    }
    if (connected || !shared_->running) break;
    if (!context_.binding().CheckCanVisitInternent()) {
      result_ = kDownloadResultNoNetwork;
      break;
    }
    refreshAddress();
  }
  return connected && shared_->running;
}

void Transfer::waitWhileFileInUse() {
  int waits = 0;
  while (shared_->running && context_.binding().CheckFileIsUsing(localPath_)) {
    clock_.sleepMs(kFileInUsePauseMs);
    if (++waits >= kMaxFileInUseWaits) {
      throw TransferError(u"本地已存在文件 " + localPath_ +
                          u" 且该文件正在被使用，造成无法进行断点续传检测并下载.");
    }
  }
}

void Transfer::receiveBlocks(FileServerConnection& connection, LocalFile& file,
                             std::int64_t local) {
  int idleRounds = 0;
  std::int32_t total = 0;
  bool totalSeen = false;
  while (shared_->running) {
    clock_.sleepMs(kRoundPauseMs);
    std::optional<std::string> payload;
    try {
      payload = connection.ReceiveFrame();
    } catch (const TransferError&) {
      // A stop shuts the socket down under the waiting recv: that is the user's stop, not a
      // failure of the connection.
      if (!shared_->running) break;
      throw;
    }
    if (!payload) {
      if (++idleRounds >= kMaxEmptyRounds) throw TransferError(kLostContactReason);
      clock_.sleepMs(kEmptyRoundPauseMs);
      continue;
    }
    idleRounds = 0;
    const std::int32_t type = PayloadType(*payload);
    if (type == kErrorType) throw TransferError(fromAnsi(DecodeErrorText(*payload)));
    if (type == kDataBlockType) {
      const DataBlock block = DecodeDataBlock(*payload);
      if (totalSeen && block.total != total) throw TransferError(kTotalChangedReason);
      total = block.total;
      totalSeen = true;
      if (local < total) {
        // Only the block that continues the local file may be written: anything else would
        // put bytes at the wrong place of an appended file.
        if (block.offset != local) throw TransferError(kBlockOffsetReason);
        if (block.data.empty() ||
            block.offset + static_cast<std::int64_t>(block.data.size()) > total) {
          throw TransferError(kBadBlockCountReason);
        }
        if (!file.append(block.data)) throw TransferError(kLocalFileReason + localPath_);
        local = block.offset + static_cast<std::int64_t>(block.data.size());
      }
      if (local >= total) {
        if (!file.flushToDisk()) throw TransferError(kLocalFileReason + localPath_);
        finished_ = true;
        result_ = kDownloadResultFinished;
        const auto done = static_cast<std::int32_t>(std::min<std::int64_t>(local, INT32_MAX));
        postProgress(done, done);
        return;
      }
      connection.SendFrame(
          EncodeDownloadRequest(fileNameAnsi_, static_cast<std::int32_t>(local), kind_));
    }
    if (clock_.nowMs() - lastProgressMs_ >= kProgressIntervalMs) {
      postProgress(total, static_cast<std::int32_t>(local));
    }
  }
  endStopped(connection);
}

void Transfer::endStopped(FileServerConnection& connection) {
  // The user stopped the transfer: not an error. The server is told, if it can still hear it.
  finished_ = true;
  try {
    connection.SendFrame(EncodeStop());
  } catch (const TransferError&) {
    // The connection is going away anyway.
  }
}

void Transfer::attempt() {
  auto connection = std::make_shared<FileServerConnection>(log_, connectTimeout_);
  {
    std::lock_guard lock(shared_->mutex);
    shared_->connection = connection;
  }
  if (!shared_->running) connection->Abort();
  struct CloseAtEnd {
    FileServerConnection& connection;
    ~CloseAtEnd() { connection.CloseSocket(); }
  } closeAtEnd{*connection};

  if (!connection->CreateSocket()) throw TransferError(kSocketFailedReason);
  if (!connect(*connection)) {
    const FileServerAddress known = address();
    log(u"无法与文件服务器 " + endpoint(known.ServerIp, known.ServerPort) + u" 和 " +
        endpoint(known.ServerHost, known.ServerPort) + u" 建立连线，请检查网络.");
    throw TransferError(kNoConnectionReason);
  }
  postProgress(100, 0);
  context_.binding().TryCreateFolderPathByFileName(localPath_);
  waitWhileFileInUse();
  if (!shared_->running) {
    endStopped(*connection);
    return;
  }

  log(u"下载文件:" + localPath_);
  LocalFile file;
  if (!file.open(platform::Utf16ToUtf8(localPath_))) {
    throw TransferError(kLocalFileReason + localPath_);
  }
  // Whatever bytes are on disk count as received: the transfer resumes after them.
  const std::int64_t local = file.size();
  if (local < 0) throw TransferError(kLocalFileReason + localPath_);
  if (local > INT32_MAX) throw TransferError(kLocalFileTooLargeReason);
  connection->SendFrame(
      EncodeDownloadRequest(fileNameAnsi_, static_cast<std::int32_t>(local), kind_));
  receiveBlocks(*connection, file, local);
}

void Transfer::run() {
  // However the worker ends, a StopDownload waiting for it must not wait forever.
  struct EndOfWorker {
    DownloadEngine::Shared& shared;
    ~EndOfWorker() {
      shared.running = false;
      ++shared.workersEnded;
    }
  } endOfWorker{*shared_};
  context_.loop->post(window_, core::WM_DOWNLOAD_STARTED,
                      platform::Payload::make<DownloadStarted>(DownloadStarted{fileName_, kind_}));
  std::u16string reason;
  fileNameAnsi_ = platform::Utf16ToAnsi(fileName_);
  try {
    // A name the request cannot carry is refused before anything is sent or created.
    EncodeDownloadRequest(fileNameAnsi_, 0, kind_);
  } catch (const TransferError& error) {
    reason = error.reason();
  }

  for (int retryCount = 0; reason.empty();) {
    try {
      attempt();
    } catch (const TransferError& error) {
      reason = error.reason();
    } catch (const std::exception& error) {
      reason = platform::Utf8ToUtf16(error.what());
    } catch (...) {
      reason = kUnknownReason;
    }
    if (!reason.empty()) {
      log(u"第【" + number(retryCount + 1) + u"】次因为异常【" + reason + u"】造成无法下载文件【" +
          fileName_ + u"】到本地【" + localPath_ + u"】");
    }
    if (contains(reason, kFileNotOnServerText)) {
      // The attempt line has said it all: no closing line for a file the server lacks.
      result_ = kDownloadResultNotOnServer;
      break;
    }
    if (!finished_) {
      bool retry = true;
      if (result_ == kDownloadResultNoNetwork) {
        context_.postToMainWindow(core::WM_NETWORK_ERROR);
        retry = false;
      } else if (NamesNetworkLoss(reason) && !context_.binding().CheckCanVisitInternent()) {
        result_ = kDownloadResultNoNetwork;
        retry = false;
        context_.postToMainWindow(core::WM_NETWORK_ERROR);
      }
      if (retry && retryCount < shared_->maxRetries) {
        ++retryCount;
        clock_.sleepMs(kRetryPauseMs);
        reason.clear();
        continue;
      }
    }
    break;
  }
  if (!reason.empty() && result_ != kDownloadResultNotOnServer) {
    log(u"下载文件 " + fileName_ + u" 到本地 " + localPath_ + u" 出现异常: " + reason);
  }
  shared_->running = false;
  context_.loop->post(
      window_, core::WM_DOWNLOAD_ENDED,
      platform::Payload::make<DownloadEnded>(DownloadEnded{fileName_, kind_, result_, reason}));
  std::lock_guard lock(shared_->mutex);
  shared_->connection.reset();
  // The worker counts as ended only now, after the end message is posted, so that a
  // StopDownload waiting for it handles that message inside its wait.
}

}  // namespace

DownloadEngine::DownloadEngine(const core::ServiceContext& context, LogSink log,
                               std::chrono::milliseconds connectTimeout)
    : context_(context),
      log_(std::move(log)),
      connectTimeout_(connectTimeout),
      shared_(std::make_shared<Shared>()) {}

DownloadEngine::~DownloadEngine() {
  shared_->running = false;
  shared_->maxRetries = 0;
  std::lock_guard lock(shared_->mutex);
  if (shared_->connection) shared_->connection->Abort();
}

bool DownloadEngine::StartDownload(platform::WindowId window, const std::u16string& fileName,
                                   const std::u16string& localFullName, StoreFileKind kind,
                                   FileServerQuery serverQuery, std::int32_t maxRetries) {
  if (fileName.empty()) return false;
  if (shared_->workersEnded < shared_->workersStarted) {
    WriteLogLine(log_, u"下载任务 " + fileName + u" 未启动: 上一个下载任务仍在进行.");
    return false;
  }
  shared_->running = true;
  shared_->maxRetries = maxRetries;
  // Counted before the worker exists, so that a StopDownload right after this call waits for it.
  ++shared_->workersStarted;
  auto transfer =
      std::make_shared<Transfer>(shared_, context_, log_, window, fileName, localFullName, kind,
                                 std::move(serverQuery), connectTimeout_);
  context_.loop->startWorker([transfer] { transfer->run(); });
  return true;
}

void DownloadEngine::StopDownload() {
  // Only the worker running now is waited for. The messages handled in this wait may start the
  // next transfer (its end message restarts the queue); waiting for that one too would hold
  // the caller until the next file is complete. Read before the worker is told to stop: told
  // first, it may end before the reading, and its end message would not be handled here.
  const std::uint64_t stopping = shared_->workersStarted;
  const bool waited = shared_->workersEnded < stopping;
  shared_->running = false;
  shared_->maxRetries = 0;
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->connection) shared_->connection->Abort();
  }
  platform::Clock& clock = context_.loop->clock();
  while (shared_->workersEnded < stopping) {
    clock.sleepMs(kStopSleepMs);
    context_.loop->pumpFor(kStopPumpMs);
  }
  // The worker's last message may have come after the last round of the wait.
  if (waited) context_.loop->pumpFor(0);
}

bool DownloadEngine::IsRunning() const {
  return shared_->running;
}

FileServerAddress DownloadEngine::serverAddress() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->address;
}

}  // namespace knowledge
