#pragma once

#include <string>
#include <string_view>

namespace testing_support {

// The SHA-256 digest of the bytes as lower-case hex: files of megabytes compared in one short
// line of a failure message.
std::string Sha256Hex(std::string_view bytes);

}  // namespace testing_support
