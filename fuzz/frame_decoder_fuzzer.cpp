// Feeds arbitrary bytes to the client's reading of the file server's stream: length fields,
// then every decoder a payload can reach. Decoders may refuse a payload (TransferError) but
// must never read outside it or hand out more than a block holds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "knowledge/file_server_messages.h"
#include "knowledge/transfer_error.h"

namespace {

void decodePayload(std::string_view payload) {
  using namespace knowledge;
  try {
    switch (PayloadType(payload)) {
      case kDataBlockType: {
        const DataBlock block = DecodeDataBlock(payload);
        if (block.data.size() > kBlockDataBytes || block.total < 0 || block.offset < 0)
          std::abort();
        if (block.data.data() < payload.data() ||
            block.data.data() + block.data.size() > payload.data() + payload.size()) {
          std::abort();
        }
        break;
      }
      case kErrorType:
        if (DecodeErrorText(payload).size() > kErrorTextBytes) std::abort();
        break;
      case kDownloadRequestType:
        if (const auto request = DecodeDownloadRequest(payload)) {
          if (request->fileName.size() >= kFileNameFieldBytes) std::abort();
        }
        break;
      default:
        break;
    }
  } catch (const TransferError&) {
    // A refused payload ends the attempt; that is the expected outcome for broken input.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view stream(reinterpret_cast<const char*>(data), size);
  while (stream.size() >= knowledge::kLengthFieldBytes) {
    const std::size_t length = knowledge::DecodeLengthField(stream.substr(0, 4));
    if (length > knowledge::kMaxPayloadBytes) std::abort();
    stream.remove_prefix(knowledge::kLengthFieldBytes);
    if (length == 0) continue;
    if (stream.size() < length) break;  // the peer would have closed: "连接已关闭"
    decodePayload(stream.substr(0, length));
    stream.remove_prefix(length);
  }
  return 0;
}
