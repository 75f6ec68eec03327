#include "devservice/file_server_session.h"

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>

#include "devservice/service_log.h"
#include "devservice/text_util.h"
#include "platform/code_page.h"

namespace devservice {

namespace {

bool IsUtf8Codeset(const std::string& codeset) {
  const std::string lower = ToLowerAscii(codeset);
  return lower == "utf-8" || lower == "utf8";
}

// A name for the log: kept when it is plain text, otherwise every byte that is not printable
// ASCII is written as \xNN, so that a hostile name cannot forge log lines.
std::string LoggableName(const std::string& name) {
  const bool plain = IsValidUtf8(name) && std::none_of(name.begin(), name.end(), [](char c) {
                       return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
                     });
  if (plain) return "\"" + name + "\"";
  std::string text = "\"";
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '\\' && c != '"') {
      text += c;
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      text += escaped;
    }
  }
  return text + "\"";
}

}  // namespace

FileServerSession::FileServerSession(int fd, std::string peer, Settings settings)
    : fd_(fd), peer_(std::move(peer)), settings_(std::move(settings)) {
  if (settings_.cut) budget_ = settings_.cut->afterBytes;
}

void FileServerSession::log(const std::string& line) {
  settings_.log.write("文件服务器 " + peer_ + ": " + line);
}

FileServerSession::ReadResult FileServerSession::readExactly(std::string& buffer,
                                                             std::size_t count) {
  buffer.resize(count);
  std::size_t got = 0;
  while (got < count) {
    const ssize_t n = recv(fd_, buffer.data() + got, count - got, 0);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
    } else if (n == 0) {
      return ReadResult::kClosed;
    } else if (errno == EINTR) {
      continue;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      return ReadResult::kTimedOut;
    } else {
      return ReadResult::kFailed;
    }
  }
  return ReadResult::kOk;
}

void FileServerSession::run() {
  std::string field;
  std::string payload;
  for (;;) {
    ReadResult result = readExactly(field, kLengthFieldBytes);
    if (result == ReadResult::kTimedOut) log("长时间没有请求，断开连接");
    if (result != ReadResult::kOk) return;
    const auto length = ParseLengthField(field);
    if (!length) {
      log("长度字段无效 " + LoggableName(field) + "，断开连接");
      return;
    }
    if (*length == 0) continue;  // an empty frame is an empty round, nothing to answer
    // Only a request or a stop can come from a client; anything longer is not read at all.
    if (*length != kFileRequestBytes && *length != kStopBytes) {
      log("帧长度 " + std::to_string(*length) + " 既不是下载请求也不是停止消息，断开连接");
      return;
    }
    result = readExactly(payload, *length);
    if (result != ReadResult::kOk) {
      if (result != ReadResult::kFailed) log("消息不完整，断开连接");
      return;
    }
    const auto message = DecodeClientMessage(payload);
    if (!message) {
      log("无法识别的消息，断开连接");
      return;
    }
    if (std::holds_alternative<StopRequest>(*message)) {
      log("客户端停止了传输");
      return;
    }
    const FileRequest& request = std::get<FileRequest>(*message);
    recordFirstRequest(request);
    const std::string frame = answer(request);
    if (settings_.pace != nullptr) settings_.pace->holdBack(frame.size());
    if (!send(frame)) return;
  }
}

void FileServerSession::recordFirstRequest(const FileRequest& request) {
  if (settings_.requests == nullptr || firstRequestLogged_) return;
  firstRequestLogged_ = true;
  const auto name = request.fileName ? nameInUtf8(*request.fileName) : std::nullopt;
  settings_.requests->add({request.kind, name.value_or(""), request.offset});
}

std::string FileServerSession::answer(const FileRequest& request) {
  const auto folder = StoreFolderName(request.kind);
  if (!folder) {
    log("不支持的文件类型 " + std::to_string(request.kind));
    return errorFrame(std::string(kFileNotOnServerText) + "（不支持的文件类型 " +
                      std::to_string(request.kind) + "）");
  }
  const auto name = request.fileName ? nameInUtf8(*request.fileName) : std::nullopt;
  if (!name || !IsServableFileName(*name)) {
    log("拒绝文件名 " + (request.fileName ? LoggableName(*request.fileName) : "（字段无效）"));
    return errorFrame(std::string(kFileNotOnServerText) + "（文件名无效）");
  }
  const std::string shownName = std::string(*folder) + "/" + *name;
  if (request.offset < 0) {
    log("请求的位置无效 " + std::to_string(request.offset) + "：" + shownName);
    return errorFrame("请求的位置无效：" + std::to_string(request.offset));
  }
  if (!openFile_ || openKind_ != request.kind || openName_ != *name) {
    openFile_.reset();
    FileStore::Lookup lookup = settings_.store.open(request.kind, *name);
    if (lookup.outcome == FileStore::Outcome::kMissing) {
      log("文件不存在：" + shownName);
      return errorFrame(std::string(kFileNotOnServerText) + "：" + *name);
    }
    if (lookup.outcome != FileStore::Outcome::kFound) {
      log("无法打开文件：" + shownName);
      return errorFrame("读取文件失败：" + *name);
    }
    openFile_ = std::move(lookup.file);
    openKind_ = request.kind;
    openName_ = *name;
  }
  const auto size = openFile_->size();
  if (!size) return errorFrame("读取文件失败：" + *name);
  if (*size > std::numeric_limits<std::int32_t>::max()) {
    log("文件太大：" + shownName);
    return errorFrame("文件太大，无法传输：" + *name);
  }
  const auto total = static_cast<std::int32_t>(*size);
  if (request.offset == 0) log("开始传输 " + shownName + "（" + std::to_string(total) + " 字节）");
  if (request.offset >= total) return EncodeDataBlockFrame(total, request.offset, {});
  const auto data = openFile_->read(request.offset, kBlockDataBytes);
  if (!data) {
    log("读取文件失败：" + shownName);
    return errorFrame("读取文件失败：" + *name);
  }
  if (request.offset + static_cast<std::int64_t>(data->size()) >= total) {
    log("传输完成 " + shownName);
  }
  return EncodeDataBlockFrame(total, request.offset, *data);
}

bool FileServerSession::send(const std::string& frame) {
  std::size_t length = frame.size();
  const bool cutting = budget_ && static_cast<std::int64_t>(length) >= *budget_;
  if (cutting) length = static_cast<std::size_t>(*budget_);
  std::size_t sent = 0;
  while (sent < length) {
    const ssize_t n = ::send(fd_, frame.data() + sent, length - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  if (budget_) *budget_ -= static_cast<std::int64_t>(length);
  if (cutting) {
    cut();
    return false;
  }
  return true;
}

void FileServerSession::cut() {
  // Counted before the peer can see the end, so that a test that saw it reads the count.
  settings_.plan.recordCut();
  if (settings_.cut->reset) {
    // Closing with a zero linger time sends a reset instead of the orderly end.
    const linger abort{1, 0};
    setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  } else {
    shutdown(fd_, SHUT_RDWR);
  }
  log("测试开关：连接在发送 " + std::to_string(settings_.cut->afterBytes) + " 字节后" +
      (settings_.cut->reset ? "被重置" : "被断开"));
}

std::optional<std::string> FileServerSession::nameInUtf8(const std::string& name) const {
  if (IsUtf8Codeset(settings_.codeset)) return name;
  const auto text = platform::DecodeText(name, settings_.codeset);
  if (!text) return std::nullopt;
  return platform::Utf16ToUtf8(*text);
}

std::string FileServerSession::encodeText(const std::string& utf8) const {
  if (IsUtf8Codeset(settings_.codeset)) return utf8;
  return platform::EncodeText(platform::Utf8ToUtf16(utf8), settings_.codeset).value_or(utf8);
}

std::string FileServerSession::errorFrame(const std::string& utf8Text) const {
  return EncodeErrorFrame(encodeText(utf8Text));
}

}  // namespace devservice
