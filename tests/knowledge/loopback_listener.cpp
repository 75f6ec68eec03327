#include "loopback_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "knowledge/file_server_messages.h"

namespace knowledge_testing {

LoopbackListener::LoopbackListener(int backlog) {
  handle_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (handle_ < 0) throw std::runtime_error("socket failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(handle_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(handle_, backlog) != 0 ||
      getsockname(handle_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(handle_);
    throw std::runtime_error("cannot listen on loopback");
  }
  port_ = ntohs(address.sin_port);
}

LoopbackListener::~LoopbackListener() {
  close();
}

int LoopbackListener::accept() const {
  int peer = -1;
  do {
    peer = ::accept4(handle_, nullptr, nullptr, SOCK_CLOEXEC);
  } while (peer < 0 && errno == EINTR);
  if (peer < 0) throw std::runtime_error("accept failed");
  return peer;
}

bool LoopbackListener::waitForConnection(int timeoutMs) const {
  pollfd waiting{handle_, POLLIN, 0};
  int ready = 0;
  do {
    ready = poll(&waiting, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  return ready > 0 && (waiting.revents & POLLIN) != 0;
}

void LoopbackListener::wake() const {
  if (handle_ >= 0) ::shutdown(handle_, SHUT_RDWR);
}

void LoopbackListener::close() {
  if (handle_ >= 0) ::close(handle_);
  handle_ = -1;
}

PeerSocket::~PeerSocket() {
  close();
}

void PeerSocket::write(std::string_view bytes) const {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(handle_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      return;
    }
    sent += static_cast<std::size_t>(n);
  }
}

std::string PeerSocket::read(std::size_t size) const {
  std::string data(size, '\0');
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::recv(handle_, data.data() + done, size - done, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  data.resize(done);
  return data;
}

std::string PeerSocket::readFrame() const {
  const std::string field = read(knowledge::kLengthFieldBytes);
  if (field.size() < knowledge::kLengthFieldBytes) return {};
  return read(knowledge::DecodeLengthField(field));
}

std::string PeerSocket::readToEnd() const {
  std::string all;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::recv(handle_, buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return all;
    all.append(buffer, static_cast<std::size_t>(n));
  }
}

void PeerSocket::close() {
  if (handle_ >= 0) ::close(handle_);
  handle_ = -1;
}

void PeerSocket::reset() {
  if (handle_ < 0) return;
  linger hard{1, 0};
  setsockopt(handle_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  close();
}

}  // namespace knowledge_testing
