#include "knowledge/transfer_error.h"

#include "platform/code_page.h"

namespace knowledge {

TransferError::TransferError(std::u16string reason)
    : std::runtime_error(platform::Utf16ToUtf8(reason)), reason_(std::move(reason)) {}

}  // namespace knowledge
