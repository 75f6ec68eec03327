#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace devservice {

// The file server's side of the client's binary protocol. A frame is a 4-byte length field
// (ASCII decimal digits, left-aligned, NUL-padded) and that many payload bytes; every payload
// starts with a 32-bit message type. Integers are 32-bit two's complement, little-endian.
//
// The client's reader is lenient (blanks and a sign accepted, the absolute value taken); this
// server accepts only what the client writes, so that a confused or hostile peer is dropped
// at its first odd byte instead of being guessed at.
inline constexpr std::size_t kLengthFieldBytes = 4;

inline constexpr std::int32_t kFileRequestType = 10;  // client to server
inline constexpr std::int32_t kDataBlockType = 11;    // server to client
inline constexpr std::int32_t kStopType = 12;         // client to server
inline constexpr std::int32_t kErrorType = 30;        // server to client

inline constexpr std::size_t kFileRequestBytes = 268;
inline constexpr std::size_t kStopBytes = 4;
inline constexpr std::size_t kDataBlockBytes = 4112;
inline constexpr std::size_t kErrorBytes = 1028;

inline constexpr std::size_t kFileNameFieldBytes = 256;
inline constexpr std::size_t kBlockDataBytes = 4096;
inline constexpr std::size_t kErrorTextBytes = 1024;

// The payload length of a length field written as the client writes it: one to four ASCII
// digits from the first byte, the rest NUL. nullopt for anything else (letters, blanks, a
// sign, digits after a NUL, a field of NULs only).
std::optional<std::size_t> ParseLengthField(std::string_view field);

// A download request: the file `fileName` of the store `kind`, from byte `offset`.
struct FileRequest {
  // The name as sent, in the client's code page. nullopt when the 256-byte field is not one
  // NUL-terminated text padded with NULs: no terminator at all, or more bytes after it (a
  // name with a NUL inside). Such a request is answered, but never looked up.
  std::optional<std::string> fileName;
  std::int32_t offset = 0;
  std::int32_t kind = 0;
};
struct StopRequest {};
using ClientMessage = std::variant<FileRequest, StopRequest>;

// One payload from the client. nullopt when it is neither a whole download request (type 10,
// exactly 268 bytes) nor a stop (type 12, exactly 4 bytes).
std::optional<ClientMessage> DecodeClientMessage(std::string_view payload);

// Whole frames, ready for one send: a data block (at most 4096 data bytes, the rest of the
// field zero) and an error message (the text cut to 1023 bytes so that its terminator fits).
std::string EncodeDataBlockFrame(std::int32_t total, std::int32_t offset, std::string_view data);
std::string EncodeErrorFrame(std::string_view text);

}  // namespace devservice
