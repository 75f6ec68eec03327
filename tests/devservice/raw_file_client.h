#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace devservice {

// A client of the file server on raw loopback sockets, for tests: it sends byte images and
// reads what comes back, with a 10-second limit on every wait so that a fault fails the test
// instead of hanging it.
class RawFileClient {
 public:
  explicit RawFileClient(int port);
  // Whether anything accepts connections on the loopback port.
  static bool Listening(int port);
  ~RawFileClient();
  RawFileClient(const RawFileClient&) = delete;
  RawFileClient& operator=(const RawFileClient&) = delete;

  bool connected() const { return fd_ >= 0; }
  bool send(std::string_view bytes);
  // Exactly `count` bytes; nullopt when the connection ended first or the wait timed out.
  std::optional<std::string> read(std::size_t count);
  // Up to `count` bytes: fewer when the connection ended first or the wait timed out.
  std::string readAtMost(std::size_t count);
  // One frame of the server: the 4-byte length field (digits, NUL-padded) and its payload.
  std::optional<std::string> readFrame();
  void shutdownWrite();

  enum class End { kClosed, kReset, kTimedOut };
  struct Ending {
    End end = End::kTimedOut;
    std::string bytes;  // whatever arrived before the end
  };
  // Reads until the server ends the connection.
  Ending waitForEnd();

 private:
  int fd_ = -1;
};

// Byte images of the client's messages, laid out here byte by byte: "268\0", type 10, the
// name NUL-padded to 256 bytes (a longer name fills the field without a terminator), offset
// and kind little-endian.
std::string RequestImage(std::string_view nameField, std::int32_t offset, std::int32_t kind);
std::string StopImage();  // "4\0\0\0" then type 12

// The fields of a data block frame as they lie in its bytes.
struct BlockImage {
  std::int32_t type = 0;
  std::int32_t total = 0;
  std::int32_t offset = 0;
  std::int32_t count = 0;
  std::string data;  // the valid bytes
};
// nullopt unless the frame starts with "4112" and holds 4112 payload bytes.
std::optional<BlockImage> ReadBlockImage(const std::string& frame);
// The text of an error frame ("1028", type 30, text up to its NUL); nullopt for other frames.
std::optional<std::string> ReadErrorImage(const std::string& frame);

}  // namespace devservice
