#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "knowledge/download_record.h"

namespace knowledge {

// The file server's messages. A frame is a 4-byte length field (ASCII decimal digits,
// left-aligned, NUL-padded) followed by that many payload bytes; every payload starts with a
// 32-bit message type. Integers are 32-bit two's complement, little-endian; texts are ANSI,
// NUL-terminated inside fixed fields.
inline constexpr std::size_t kLengthFieldBytes = 4;
inline constexpr std::size_t kMaxPayloadBytes = 9999;

inline constexpr std::int32_t kDownloadRequestType = 10;  // client to server
inline constexpr std::int32_t kDataBlockType = 11;        // server to client
inline constexpr std::int32_t kStopType = 12;             // client to server
inline constexpr std::int32_t kErrorType = 30;            // server to client

inline constexpr std::size_t kDownloadRequestBytes = 268;
inline constexpr std::size_t kDataBlockBytes = 4112;
inline constexpr std::size_t kStopBytes = 4;
inline constexpr std::size_t kErrorBytes = 1028;

inline constexpr std::size_t kFileNameFieldBytes = 256;  // at most 255 bytes of text and a NUL
inline constexpr std::size_t kBlockDataBytes = 4096;
inline constexpr std::size_t kErrorTextBytes = 1024;

// The server's error text that means it does not hold the file.
inline constexpr char16_t kFileNotOnServerText[] = u"服务器上不存在文件";

// Length field and payload together, so that a frame leaves in one send. Payloads longer than
// kMaxPayloadBytes cannot be framed (std::length_error).
std::string EncodeFrame(std::string_view payload);

// The payload length as a receiver reads the field: the decimal number at its start (leading
// blanks and a sign accepted, reading stops at the first non-digit or after 4 bytes), taken
// as its absolute value. Letters therefore read as 0, an empty frame.
std::size_t DecodeLengthField(std::string_view field);

// The message type of a payload; TransferError when it is shorter than 4 bytes.
std::int32_t PayloadType(std::string_view payload);

// Download request for `fileNameAnsi` from byte `offset` in the kind's store. TransferError
// for a name of more than 255 bytes or with a NUL in it: it would ask for another file.
std::string EncodeDownloadRequest(std::string_view fileNameAnsi, std::int32_t offset,
                                  StoreFileKind kind);
std::string EncodeStop();

struct DownloadRequest {
  std::string fileName;  // ANSI
  std::int32_t offset = 0;
  std::int32_t kindWireValue = 0;
};
// The server's reading of a request; nullopt when the payload is not a whole request or its
// name field has no terminator.
std::optional<DownloadRequest> DecodeDownloadRequest(std::string_view payload);

struct DataBlock {
  std::int32_t total = 0;
  std::int32_t offset = 0;
  std::string_view data;  // the valid bytes, inside the decoded payload
};
// At most kBlockDataBytes of data; the rest of the 4096-byte field is zero.
std::string EncodeDataBlock(std::int32_t total, std::int32_t offset, std::string_view data);
// TransferError for a payload shorter than a block, a negative total or offset, or a count
// outside 0-4096.
DataBlock DecodeDataBlock(std::string_view payload);

// The text is cut to 1023 bytes so that its terminator fits.
std::string EncodeError(std::string_view textAnsi);
// The text up to its terminator, or the whole 1024-byte field when the server sent none.
// TransferError for a payload shorter than an error message.
std::string DecodeErrorText(std::string_view payload);

}  // namespace knowledge
