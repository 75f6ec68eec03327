#include "devservice/file_server_frames.h"

#include <algorithm>
#include <stdexcept>

namespace devservice {

namespace {

void PutInt32(std::string& out, std::size_t at, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < 4; ++i) out[at + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

std::int32_t GetInt32(std::string_view in, std::size_t at) {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  }
  return static_cast<std::int32_t>(bits);
}

// Length field and payload in one buffer.
std::string Frame(std::string_view payload) {
  std::string frame(kLengthFieldBytes, '\0');
  const std::string digits = std::to_string(payload.size());
  frame.replace(0, digits.size(), digits);
  frame.append(payload);
  return frame;
}

std::optional<std::string> NameOfField(std::string_view field) {
  const auto end = field.find('\0');
  if (end == std::string_view::npos) return std::nullopt;
  const std::string_view padding = field.substr(end);
  if (std::any_of(padding.begin(), padding.end(), [](char c) { return c != '\0'; })) {
    return std::nullopt;
  }
  return std::string(field.substr(0, end));
}

}  // namespace

std::optional<std::size_t> ParseLengthField(std::string_view field) {
  if (field.size() != kLengthFieldBytes) return std::nullopt;
  std::size_t at = 0;
  std::size_t value = 0;
  while (at < field.size() && field[at] >= '0' && field[at] <= '9') {
    value = value * 10 + static_cast<std::size_t>(field[at] - '0');
    ++at;
  }
  if (at == 0) return std::nullopt;
  if (std::any_of(field.begin() + static_cast<std::ptrdiff_t>(at), field.end(),
                  [](char c) { return c != '\0'; })) {
    return std::nullopt;
  }
  return value;
}

std::optional<ClientMessage> DecodeClientMessage(std::string_view payload) {
  if (payload.size() < 4) return std::nullopt;
  const std::int32_t type = GetInt32(payload, 0);
  if (type == kStopType && payload.size() == kStopBytes) return StopRequest{};
  if (type != kFileRequestType || payload.size() != kFileRequestBytes) return std::nullopt;
  FileRequest request;
  request.fileName = NameOfField(payload.substr(4, kFileNameFieldBytes));
  request.offset = GetInt32(payload, 4 + kFileNameFieldBytes);
  request.kind = GetInt32(payload, 8 + kFileNameFieldBytes);
  return request;
}

std::string EncodeDataBlockFrame(std::int32_t total, std::int32_t offset, std::string_view data) {
  if (data.size() > kBlockDataBytes) throw std::length_error("more data than a block holds");
  std::string payload(kDataBlockBytes, '\0');
  PutInt32(payload, 0, kDataBlockType);
  PutInt32(payload, 4, total);
  PutInt32(payload, 8, offset);
  PutInt32(payload, 12, static_cast<std::int32_t>(data.size()));
  payload.replace(16, data.size(), data);
  return Frame(payload);
}

std::string EncodeErrorFrame(std::string_view text) {
  const std::string_view kept = text.substr(0, kErrorTextBytes - 1);
  std::string payload(kErrorBytes, '\0');
  PutInt32(payload, 0, kErrorType);
  payload.replace(4, kept.size(), kept);
  return Frame(payload);
}

}  // namespace devservice
