#include "knowledge/file_server_messages.h"

#include <algorithm>
#include <stdexcept>

#include "knowledge/transfer_error.h"

namespace knowledge {
namespace {

void putInt32(std::string& out, std::size_t at, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < 4; ++i) out[at + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

std::int32_t getInt32(std::string_view in, std::size_t at) {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  }
  return static_cast<std::int32_t>(bits);
}

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void requireSize(std::string_view payload, std::size_t size) {
  if (payload.size() < size) throw TransferError(kShortMessageReason);
}

}  // namespace

std::string EncodeFrame(std::string_view payload) {
  if (payload.size() > kMaxPayloadBytes) throw std::length_error("payload too long for a frame");
  std::string frame(kLengthFieldBytes, '\0');
  const std::string digits = std::to_string(payload.size());
  frame.replace(0, digits.size(), digits);
  frame.append(payload);
  return frame;
}

std::size_t DecodeLengthField(std::string_view field) {
  const std::size_t end = std::min(field.size(), kLengthFieldBytes);
  std::size_t at = 0;
  while (at < end && isBlank(field[at])) ++at;
  if (at < end && (field[at] == '+' || field[at] == '-')) ++at;
  std::size_t value = 0;
  while (at < end && field[at] >= '0' && field[at] <= '9') {
    value = value * 10 + static_cast<std::size_t>(field[at] - '0');
    ++at;
  }
  return value;
}

std::int32_t PayloadType(std::string_view payload) {
  requireSize(payload, 4);
  return getInt32(payload, 0);
}

std::string EncodeDownloadRequest(std::string_view fileNameAnsi, std::int32_t offset,
                                  StoreFileKind kind) {
  if (fileNameAnsi.size() >= kFileNameFieldBytes) throw TransferError(kFileNameTooLongReason);
  if (fileNameAnsi.find('\0') != std::string_view::npos) throw TransferError(kFileNameHasNulReason);
  std::string payload(kDownloadRequestBytes, '\0');
  putInt32(payload, 0, kDownloadRequestType);
  payload.replace(4, fileNameAnsi.size(), fileNameAnsi);
  putInt32(payload, 4 + kFileNameFieldBytes, offset);
  putInt32(payload, 8 + kFileNameFieldBytes, StoreFileKindWireValue(kind));
  return payload;
}

std::string EncodeStop() {
  std::string payload(kStopBytes, '\0');
  putInt32(payload, 0, kStopType);
  return payload;
}

std::optional<DownloadRequest> DecodeDownloadRequest(std::string_view payload) {
  if (payload.size() < kDownloadRequestBytes || getInt32(payload, 0) != kDownloadRequestType) {
    return std::nullopt;
  }
  const std::string_view field = payload.substr(4, kFileNameFieldBytes);
  const std::size_t end = field.find('\0');
  if (end == std::string_view::npos) return std::nullopt;  // a name without its terminator
  DownloadRequest request;
  request.fileName = std::string(field.substr(0, end));
  request.offset = getInt32(payload, 4 + kFileNameFieldBytes);
  request.kindWireValue = getInt32(payload, 8 + kFileNameFieldBytes);
  return request;
}

std::string EncodeDataBlock(std::int32_t total, std::int32_t offset, std::string_view data) {
  if (data.size() > kBlockDataBytes) throw std::length_error("more data than a block holds");
  std::string payload(kDataBlockBytes, '\0');
  putInt32(payload, 0, kDataBlockType);
  putInt32(payload, 4, total);
  putInt32(payload, 8, offset);
  putInt32(payload, 12, static_cast<std::int32_t>(data.size()));
  payload.replace(16, data.size(), data);
  return payload;
}

DataBlock DecodeDataBlock(std::string_view payload) {
  requireSize(payload, kDataBlockBytes);
  DataBlock block;
  block.total = getInt32(payload, 4);
  block.offset = getInt32(payload, 8);
  const std::int32_t count = getInt32(payload, 12);
  if (count < 0 || static_cast<std::size_t>(count) > kBlockDataBytes) {
    throw TransferError(kBadBlockCountReason);
  }
  if (block.total < 0 || block.offset < 0) throw TransferError(kBadBlockFieldsReason);
  block.data = payload.substr(16, static_cast<std::size_t>(count));
  return block;
}

std::string EncodeError(std::string_view textAnsi) {
  const std::string_view text = textAnsi.substr(0, kErrorTextBytes - 1);
  std::string payload(kErrorBytes, '\0');
  putInt32(payload, 0, kErrorType);
  payload.replace(4, text.size(), text);
  return payload;
}

std::string DecodeErrorText(std::string_view payload) {
  requireSize(payload, kErrorBytes);
  const std::string_view field = payload.substr(4, kErrorTextBytes);
  return std::string(field.substr(0, field.find('\0')));
}

}  // namespace knowledge
