#include "raw_file_client.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace devservice {

namespace {

std::string LittleEndian(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  return {static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
          static_cast<char>((bits >> 16) & 0xFF), static_cast<char>((bits >> 24) & 0xFF)};
}

std::int32_t FromLittleEndian(const std::string& bytes, std::size_t at) {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  }
  return static_cast<std::int32_t>(bits);
}

// A connected socket with 10-second limits on its waits, or -1.
int ConnectToLoopback(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  const timeval limit{10, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

RawFileClient::RawFileClient(int port) : fd_(ConnectToLoopback(port)) {
  if (fd_ < 0) ADD_FAILURE() << "cannot connect to the file server on port " << port;
}

bool RawFileClient::Listening(int port) {
  const int fd = ConnectToLoopback(port);
  if (fd < 0) return false;
  close(fd);
  return true;
}

RawFileClient::~RawFileClient() {
  if (fd_ >= 0) close(fd_);
}

bool RawFileClient::send(std::string_view bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<std::string> RawFileClient::read(std::size_t count) {
  std::string bytes = readAtMost(count);
  if (bytes.size() < count) return std::nullopt;
  return bytes;
}

std::string RawFileClient::readAtMost(std::size_t count) {
  std::string bytes(count, '\0');
  std::size_t got = 0;
  while (got < count) {
    const ssize_t n = recv(fd_, bytes.data() + got, count - got, 0);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return bytes;
}

std::optional<std::string> RawFileClient::readFrame() {
  auto field = read(4);
  if (!field) return std::nullopt;
  std::size_t length = 0;
  for (const char c : *field) {
    if (c < '0' || c > '9') break;
    length = length * 10 + static_cast<std::size_t>(c - '0');
  }
  auto payload = read(length);
  if (!payload) return std::nullopt;
  return *field + *payload;
}

void RawFileClient::shutdownWrite() {
  shutdown(fd_, SHUT_WR);
}

RawFileClient::Ending RawFileClient::waitForEnd() {
  Ending ending;
  char buffer[8192];
  for (;;) {
    const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
    if (n > 0) {
      ending.bytes.append(buffer, static_cast<std::size_t>(n));
      continue;
    }
    if (n == 0) {
      ending.end = End::kClosed;
    } else if (errno == ECONNRESET) {
      ending.end = End::kReset;
    } else {
      ending.end = End::kTimedOut;
    }
    return ending;
  }
}

std::string RequestImage(std::string_view nameField, std::int32_t offset, std::int32_t kind) {
  std::string field(nameField);
  if (field.size() < 256) field.resize(256, '\0');
  const std::string payload =
      LittleEndian(10) + field.substr(0, 256) + LittleEndian(offset) + LittleEndian(kind);
  return std::string("268\0", 4) + payload;
}

std::string StopImage() {
  return std::string("4\0\0\0\x0C\0\0\0", 8);
}

std::optional<BlockImage> ReadBlockImage(const std::string& frame) {
  if (frame.size() != 4116 || frame.compare(0, 4, "4112") != 0) return std::nullopt;
  BlockImage block;
  block.type = FromLittleEndian(frame, 4);
  block.total = FromLittleEndian(frame, 8);
  block.offset = FromLittleEndian(frame, 12);
  block.count = FromLittleEndian(frame, 16);
  if (block.count < 0 || block.count > 4096) return std::nullopt;
  block.data = frame.substr(20, static_cast<std::size_t>(block.count));
  return block;
}

std::optional<std::string> ReadErrorImage(const std::string& frame) {
  if (frame.size() != 1032 || frame.compare(0, 4, "1028") != 0) return std::nullopt;
  if (FromLittleEndian(frame, 4) != 30) return std::nullopt;
  const std::string text = frame.substr(8);
  return text.substr(0, text.find('\0'));
}

}  // namespace devservice
