#include "devservice/file_server.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "devservice/file_server_session.h"
#include "devservice/service_log.h"
#include "platform/code_page.h"

namespace devservice {

namespace {

constexpr int kListenBacklog = 128;
constexpr char16_t kFileNotOnServerText16[] = u"服务器上不存在文件";

std::string AddressText(const sockaddr_in& address) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
  return std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
}

sockaddr_in ResolveListenAddress(const HostPort& address) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  if (getaddrinfo(address.host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    throw std::runtime_error("cannot resolve " + address.host + " for the file server");
  }
  sockaddr_in result{};
  std::memcpy(&result, found->ai_addr, sizeof result);
  freeaddrinfo(found);
  result.sin_port = htons(static_cast<std::uint16_t>(address.port));
  return result;
}

void SetTimeouts(int fd, std::chrono::milliseconds timeout) {
  timeval value{};
  value.tv_sec = static_cast<time_t>(timeout.count() / 1000);
  value.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &value, sizeof value);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &value, sizeof value);
}

}  // namespace

FileServer::FileServer(FileServerSettings settings, ServiceLog& log, ConnectionDropPlan& drops)
    : settings_(std::move(settings)), log_(log), drops_(drops), store_(settings_.root) {
  if (!platform::EncodeText(kFileNotOnServerText16, settings_.codeset)) {
    throw std::runtime_error("the code page " + settings_.codeset +
                             " cannot carry the file server's texts");
  }
}

FileServer::~FileServer() {
  stop();
}

HostPort FileServer::start() {
  if (listenFd_ >= 0) throw std::logic_error("the file server is already started");
  sockaddr_in address = ResolveListenAddress(settings_.address);
  // Non-blocking, so that a connection the peer abandons between poll and accept cannot
  // leave the accept loop blocked where the stop cannot reach it.
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) throw std::runtime_error("cannot create the file server's socket");
  // As the web service: a restart may reuse the port while old connections linger, but a port
  // another program listens on is refused.
  const int yes = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      listen(fd, kListenBacklog) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(fd);
    throw std::runtime_error("cannot listen on " + settings_.address.text() +
                             " for the file server");
  }
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    close(fd);
    throw std::runtime_error("cannot create the file server's wake-up event");
  }
  listenFd_ = fd;
  stopping_ = false;
  acceptThread_ = std::thread([this] { acceptLoop(); });
  char host[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address.sin_addr, host, sizeof host);
  const HostPort bound{host, ntohs(address.sin_port)};
  log_.write("文件服务器已启动: " + bound.text() + "，文件目录 " + store_.root());
  return bound;
}

void FileServer::stop() {
  if (listenFd_ < 0) return;
  stopping_ = true;
  wake();
  if (acceptThread_.joinable()) acceptThread_.join();
  close(listenFd_);
  listenFd_ = -1;
  {
    std::lock_guard lock(mutex_);
    for (Connection& connection : connections_) {
      if (connection.fd >= 0) shutdown(connection.fd, SHUT_RDWR);
    }
  }
  // Only the connection threads still run, and they never change the list itself.
  for (Connection& connection : connections_) {
    if (connection.thread.joinable()) connection.thread.join();
  }
  connections_.clear();
  close(wakeFd_);
  wakeFd_ = -1;
}

int FileServer::activeConnections() const {
  std::lock_guard lock(mutex_);
  return active_;
}

int FileServer::peakActiveConnections() const {
  std::lock_guard lock(mutex_);
  return peakActive_;
}

bool FileServer::waitForActiveAtMost(int count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return connectionEnded_.wait_for(lock, timeout, [&] { return active_ <= count; });
}

void FileServer::wake() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
}

void FileServer::acceptLoop() {
  while (!stopping_) {
    bool room = false;
    {
      std::lock_guard lock(mutex_);
      reapFinished();
      room = active_ < settings_.maxConnections;
    }
    // While every slot is taken the listen socket is not watched: new connections wait in
    // the kernel's queue, and the end of a connection wakes this loop.
    pollfd watched[2] = {{wakeFd_, POLLIN, 0}, {listenFd_, POLLIN, 0}};
    if (poll(watched, room ? 2 : 1, -1) < 0) continue;
    if (watched[0].revents != 0) {
      std::uint64_t count = 0;
      [[maybe_unused]] const ssize_t drained = read(wakeFd_, &count, sizeof count);
    }
    if (stopping_ || !room || (watched[1].revents & POLLIN) == 0) continue;
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    const int fd = accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        // Out of descriptors: wait a little (or for a connection to end) before trying again.
        log_.write("文件服务器: 无法接受连接: " + std::string(std::strerror(errno)));
        pollfd wait{wakeFd_, POLLIN, 0};
        poll(&wait, 1, 100);
      }
      continue;
    }
    admit(fd, AddressText(peer));
  }
}

void FileServer::admit(int fd, const std::string& peer) {
  ++accepted_;
  // Each block leaves in one send; without this, Nagle's algorithm and the peer's delayed
  // acknowledgement would hold back every small frame.
  const int yes = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  SetTimeouts(fd, settings_.idleTimeout);
  // Cuts are handed out in the order of acceptance, so a test knows which connection gets
  // which.
  const auto cut = drops_.takeNext();
  std::lock_guard lock(mutex_);
  Connection& connection = connections_.emplace_back();
  connection.fd = fd;
  try {
    connection.thread =
        std::thread([this, &connection, peer, cut] { serve(connection, peer, cut); });
  } catch (const std::exception& error) {
    log_.write("文件服务器: 无法为 " + peer + " 创建线程: " + error.what());
    close(fd);
    connections_.pop_back();
    return;
  }
  ++active_;
  peakActive_ = std::max(peakActive_, active_);
}

void FileServer::serve(Connection& connection, const std::string& peer,
                       std::optional<ConnectionDropPlan::Cut> cut) {
  try {
    FileServerSession session(
        connection.fd, peer,
        {store_, settings_.codeset, cut, drops_, log_, settings_.pace, settings_.requests});
    session.run();
  } catch (const std::exception& error) {
    log_.write("文件服务器 " + peer + ": " + error.what());
  } catch (...) {
    log_.write("文件服务器 " + peer + ": 未知异常");
  }
  {
    std::lock_guard lock(mutex_);
    close(connection.fd);
    connection.fd = -1;
    connection.finished = true;
    --active_;
  }
  connectionEnded_.notify_all();
  wake();
}

void FileServer::reapFinished() {
  for (auto it = connections_.begin(); it != connections_.end();) {
    if (!it->finished) {
      ++it;
      continue;
    }
    if (it->thread.joinable()) it->thread.join();
    it = connections_.erase(it);
  }
}

}  // namespace devservice
