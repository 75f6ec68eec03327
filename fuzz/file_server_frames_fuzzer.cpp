// Feeds arbitrary bytes to the development service's side of the file server protocol: the
// client stream as a session reads it (length fields, then requests and stops), and the
// server's encoders, whose frames the client's decoders must read back unchanged. Where both
// sides decode the same request they must agree.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "devservice/file_server_frames.h"
#include "knowledge/file_server_messages.h"
#include "knowledge/transfer_error.h"

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

void checkRequest(std::string_view payload, const devservice::FileRequest& request) {
  if (request.fileName) {
    if (request.fileName->size() >= devservice::kFileNameFieldBytes ||
        request.fileName->find('\0') != std::string::npos) {
      std::abort();
    }
    // The client's own reading of the same request names the same file.
    const auto client = knowledge::DecodeDownloadRequest(payload);
    if (!client || client->fileName != *request.fileName || client->offset != request.offset ||
        client->kindWireValue != request.kind) {
      std::abort();
    }
  }
}

// The client's stream as FileServerSession reads it.
void readClientStream(std::string_view stream) {
  while (stream.size() >= devservice::kLengthFieldBytes) {
    const std::string_view field = stream.substr(0, devservice::kLengthFieldBytes);
    stream.remove_prefix(devservice::kLengthFieldBytes);
    const auto length = devservice::ParseLengthField(field);
    if (!length) return;
    if (*length > 9999 || !isDigit(field[0])) std::abort();
    if (*length == 0) continue;
    if (*length != devservice::kFileRequestBytes && *length != devservice::kStopBytes) return;
    if (stream.size() < *length) return;
    const std::string_view payload = stream.substr(0, *length);
    stream.remove_prefix(*length);
    const auto message = devservice::DecodeClientMessage(payload);
    if (!message) return;
    if (const auto* request = std::get_if<devservice::FileRequest>(&*message)) {
      checkRequest(payload, *request);
    }
  }
}

std::string_view payloadOf(const std::string& frame, std::size_t expected) {
  if (frame.size() != devservice::kLengthFieldBytes + expected) std::abort();
  if (knowledge::DecodeLengthField(std::string_view(frame).substr(0, 4)) != expected) std::abort();
  return std::string_view(frame).substr(devservice::kLengthFieldBytes);
}

void checkEncoders(FuzzedDataProvider& input) {
  const auto total = input.ConsumeIntegral<std::int32_t>();
  const auto offset = input.ConsumeIntegral<std::int32_t>();
  const std::string data = input.ConsumeRandomLengthString(devservice::kBlockDataBytes);
  const std::string block = devservice::EncodeDataBlockFrame(total, offset, data);
  const std::string_view blockPayload = payloadOf(block, devservice::kDataBlockBytes);
  try {
    const knowledge::DataBlock decoded = knowledge::DecodeDataBlock(blockPayload);
    if (decoded.total != total || decoded.offset != offset || decoded.data != data) std::abort();
  } catch (const knowledge::TransferError&) {
    // The client refuses negative totals and offsets; nothing else the server writes.
    if (total >= 0 && offset >= 0) std::abort();
  }

  const std::string text = input.ConsumeRandomLengthString(2000);
  const std::string error = devservice::EncodeErrorFrame(text);
  const std::string read = knowledge::DecodeErrorText(payloadOf(error, devservice::kErrorBytes));
  const std::string expected = text.substr(0, std::min(text.find('\0'), std::size_t{1023}));
  if (read != expected) std::abort();

  // The client's request as the server reads it.
  const std::string name = input.ConsumeRandomLengthString(300);
  const auto kind = static_cast<knowledge::StoreFileKind>(input.ConsumeIntegralInRange(0, 3));
  std::string request;
  try {
    request = knowledge::EncodeDownloadRequest(name, offset, kind);
  } catch (const knowledge::TransferError&) {
    if (name.size() <= 255 && name.find('\0') == std::string::npos) std::abort();
    return;
  }
  const auto message = devservice::DecodeClientMessage(request);
  const auto* decoded = message ? std::get_if<devservice::FileRequest>(&*message) : nullptr;
  if (decoded == nullptr || decoded->fileName != name || decoded->offset != offset ||
      decoded->kind != static_cast<std::int32_t>(kind)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  readClientStream(std::string_view(reinterpret_cast<const char*>(data), size));
  FuzzedDataProvider input(data, size);
  checkEncoders(input);
  return 0;
}
