#include "platform/instance_channel.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/alternate_signal_stack.h"

namespace platform {
namespace {

// Frame of one message: the message number and the text length (both 32-bit little-endian),
// then the UTF-8 text. The listener answers one byte once the message has been taken (when
// its receipt ends).
constexpr std::size_t kHeaderBytes = 8;
constexpr std::uint32_t kMaxTextBytes = 1u << 20;
constexpr char kAccepted = 1;
constexpr int kIoTimeoutMs = 3000;
// The window thread may still be busy with earlier requests when a message arrives.
constexpr int kAnswerTimeoutMs = 10000;
// Messages whose senders still wait for their answer. Each holds a connection; beyond this
// many, further messages are refused rather than let a flood use up the descriptors.
constexpr int kMaxUnanswered = 64;

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void reset(int fd = -1) {
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

bool fillAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

bool peerIsSameUser(int fd) {
  ucred credentials{};
  socklen_t length = sizeof credentials;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
         credentials.uid == getuid();
}

// Waits until the descriptor is ready, at most until the deadline.
bool waitReady(int fd, short events, std::chrono::steady_clock::time_point deadline) {
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd entry{fd, events, 0};
    const int rc = poll(&entry, 1, static_cast<int>(left.count()));
    if (rc > 0) return true;
    if (rc == 0 || errno != EINTR) return false;
  }
}

bool readExactly(int fd, char* data, std::size_t size,
                 std::chrono::steady_clock::time_point deadline) {
  std::size_t done = 0;
  while (done < size) {
    if (!waitReady(fd, POLLIN, deadline)) return false;
    const ssize_t n = recv(fd, data + done, size - done, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool writeExactly(int fd, const char* data, std::size_t size,
                  std::chrono::steady_clock::time_point deadline) {
  std::size_t done = 0;
  while (done < size) {
    if (!waitReady(fd, POLLOUT, deadline)) return false;
    const ssize_t n = send(fd, data + done, size - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void putUint32(char* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t getUint32(const char* at) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(at[i])) << (8 * i);
  return value;
}

// A connected socket to the path, or -1 (errno tells why).
int connectTo(const std::string& path) {
  sockaddr_un address{};
  if (!fillAddress(path, address)) {
    errno = ENAMETOOLONG;
    return -1;
  }
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  while (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    if (errno == EINTR) continue;
    const int error = errno;
    close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

// A directory we own, that nobody else may enter, and that is not a link.
bool isPrivateDirectory(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
         (info.st_mode & 077) == 0;
}

class SocketListener final : public InstanceListener {
 public:
  SocketListener(int listening, std::string path, ino_t inode, Handler handler)
      : listening_(listening),
        path_(std::move(path)),
        inode_(inode),
        handler_(std::move(handler)),
        unanswered_(std::make_shared<std::atomic<int>>(0)) {
    wake_.reset(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (wake_.get() >= 0) {
      thread_ = std::thread([this] {
        const AlternateSignalStack signalStack;  // a crash here still leaves a dump
        serve();
      });
    }
  }

  ~SocketListener() override {
    const std::uint64_t one = 1;
    if (write(wake_.get(), &one, sizeof one) < 0) {
      // The wake-up descriptor always accepts a write; nothing else to do if it did not.
    }
    if (thread_.joinable()) thread_.join();
    // Remove the socket only while it is still ours (a later instance may have replaced it).
    struct stat info {};
    if (lstat(path_.c_str(), &info) == 0 && info.st_ino == inode_) unlink(path_.c_str());
  }

  bool ready() const { return wake_.get() >= 0; }

 private:
  void serve() {
    while (true) {
      pollfd entries[2] = {{listening_.get(), POLLIN, 0}, {wake_.get(), POLLIN, 0}};
      const int rc = poll(entries, 2, -1);
      if (rc < 0 && errno == EINTR) continue;
      if (rc < 0 || (entries[1].revents & POLLIN) != 0) return;
      if ((entries[0].revents & POLLIN) == 0) continue;
      Fd client(accept4(listening_.get(), nullptr, nullptr, SOCK_CLOEXEC));
      if (client.get() < 0) continue;
      if (!peerIsSameUser(client.get())) continue;
      serveOne(client);
    }
  }

  // Reads one message and hands it over with its receipt; the answer is the receipt's business,
  // so the listener goes on with the next sender at once.
  void serveOne(Fd& client) {
    const int fd = client.get();
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kIoTimeoutMs);
    char header[kHeaderBytes];
    if (!readExactly(fd, header, sizeof header, deadline)) return;
    const std::uint32_t message = getUint32(header);
    const std::uint32_t length = getUint32(header + 4);
    if (length > kMaxTextBytes) return;
    std::string text(length, '\0');
    if (!readExactly(fd, text.data(), text.size(), deadline)) return;
    if (unanswered_->load() >= kMaxUnanswered) return;
    auto receipt = std::make_unique<Receipt>(client.release(), unanswered_);
    try {
      handler_(message, std::move(text), std::move(receipt));
    } catch (...) {
      // The handler's failure is its own; the listener goes on.
    }
  }

  Fd listening_;
  Fd wake_;
  std::string path_;
  ino_t inode_;
  Handler handler_;
  std::shared_ptr<std::atomic<int>> unanswered_;
  std::thread thread_;
};

// Binds a listening socket at the path. A socket file nobody listens on (left by a crashed
// instance) is replaced; a live one means another instance runs, and binding fails.
int bindListening(const std::string& path) {
  sockaddr_un address{};
  if (!fillAddress(path, address)) return -1;
  for (int attempt = 0; attempt < 2; ++attempt) {
    Fd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0) return -1;
    if (bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
      // Only this user may connect. The socket cannot be reached before listen(), and its
      // folder is private anyway.
      if (chmod(path.c_str(), 0600) != 0 || listen(fd.get(), 16) != 0) {
        unlink(path.c_str());
        return -1;
      }
      return fd.release();
    }
    if (errno != EADDRINUSE) return -1;
    const int probe = connectTo(path);
    if (probe >= 0) {
      close(probe);
      return -1;
    }
    if (errno != ECONNREFUSED && errno != ENOENT) return -1;
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) return -1;
    unlink(path.c_str());
  }
  return -1;
}

}  // namespace

std::string UserRuntimeDirectory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0') {
    const std::string folder = runtime;
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    return folder;
  }
  // Without a session's runtime folder, a private folder of the user under /tmp. A name that
  // someone else has taken, or that is open to others, is not used.
  const std::string folder = "/tmp/zelk-runtime-" + std::to_string(getuid());
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
  return isPrivateDirectory(folder) ? folder : std::string();
}

std::string InstanceSocketPath(const std::string& programFileName) {
  const std::string folder = UserRuntimeDirectory();
  if (folder.empty()) return {};
  std::string name = programFileName;
  for (char& c : name) {
    if (c == '/' || c == '\\') c = '_';
  }
  return folder + "/zelk-instance-" + name + ".sock";
}

bool SendInstanceMessage(const std::string& programFileName, std::uint32_t message,
                         const std::string& text) {
  if (text.size() > kMaxTextBytes) return false;
  const std::string path = InstanceSocketPath(programFileName);
  if (path.empty()) return false;
  const Fd fd(connectTo(path));
  if (fd.get() < 0 || !peerIsSameUser(fd.get())) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kIoTimeoutMs);
  std::string frame(kHeaderBytes, '\0');
  putUint32(frame.data(), message);
  putUint32(frame.data() + 4, static_cast<std::uint32_t>(text.size()));
  frame += text;
  if (!writeExactly(fd.get(), frame.data(), frame.size(), deadline)) return false;
  char answer = 0;
  const auto answerDeadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerTimeoutMs);
  return readExactly(fd.get(), &answer, 1, answerDeadline) && answer == kAccepted;
}

InstanceListener::Receipt::Receipt(int connection, std::shared_ptr<std::atomic<int>> unanswered)
    : connection_(connection), unanswered_(std::move(unanswered)) {
  if (unanswered_) ++*unanswered_;
}

InstanceListener::Receipt::~Receipt() {
  if (connection_ >= 0) {
    // One byte into an idle socket: never blocks the thread that frees the receipt. A sender
    // that has given up makes the send fail, which changes nothing here.
    if (!refused_) send(connection_, &kAccepted, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    close(connection_);
  }
  if (unanswered_) --*unanswered_;
}

std::unique_ptr<InstanceListener> InstanceListener::start(const std::string& programFileName,
                                                          Handler handler) {
  const std::string path = InstanceSocketPath(programFileName);
  if (path.empty() || !handler) return nullptr;
  const int listening = bindListening(path);
  if (listening < 0) return nullptr;
  struct stat info {};
  lstat(path.c_str(), &info);
  // The listener owns the socket from here on and removes its file when it fails or ends.
  auto listener =
      std::make_unique<SocketListener>(listening, path, info.st_ino, std::move(handler));
  if (!listener->ready()) return nullptr;
  return listener;
}

}  // namespace platform
