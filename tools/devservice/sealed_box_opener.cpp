#include "devservice/sealed_box_opener.h"

#include <sodium.h>

#include <stdexcept>
#include <vector>

#include "devservice/text_util.h"
#include "platform/paths.h"

namespace devservice {

namespace {

// Nothing the client seals is longer than a few hundred bytes; a bound keeps a hostile query
// from making the service decode megabytes.
constexpr std::size_t kMaxSealedTextLength = 4096;

std::array<unsigned char, SealedBoxOpener::kKeyBytes> ReadHexKey(const std::string& path) {
  std::string text;
  if (!platform::ReadWholeFile(path, text))
    throw std::runtime_error("cannot read key file " + path);
  text = Trim(text);
  std::array<unsigned char, SealedBoxOpener::kKeyBytes> key{};
  std::size_t length = 0;
  const char* end = nullptr;
  if (text.size() != key.size() * 2 ||
      sodium_hex2bin(key.data(), key.size(), text.data(), text.size(), nullptr, &length, &end) !=
          0 ||
      length != key.size()) {
    throw std::runtime_error("key file " + path + " does not hold 64 hexadecimal digits");
  }
  return key;
}

}  // namespace

SealedBoxOpener SealedBoxOpener::FromKeyFolder(const std::string& folder) {
  const auto publicKey = ReadHexKey(platform::JoinPath(folder, "service_public.hex"));
  const auto secretKey = ReadHexKey(platform::JoinPath(folder, "service_secret.hex"));
  std::array<unsigned char, kKeyBytes> derived{};
  crypto_scalarmult_base(derived.data(), secretKey.data());
  if (derived != publicKey) {
    throw std::runtime_error("the keys in " + folder + " are not one pair");
  }
  return SealedBoxOpener(publicKey, secretKey);
}

SealedBoxOpener::SealedBoxOpener(const std::array<unsigned char, kKeyBytes>& publicKey,
                                 const std::array<unsigned char, kKeyBytes>& secretKey)
    : publicKey_(publicKey), secretKey_(secretKey) {
  if (sodium_init() < 0) throw std::runtime_error("libsodium cannot be initialised");
}

std::optional<std::string> SealedBoxOpener::open(std::string_view sealed) const {
  if (sealed.empty() || sealed.size() > kMaxSealedTextLength) return std::nullopt;
  std::vector<unsigned char> box(sealed.size());
  std::size_t boxLength = 0;
  const char* end = nullptr;
  if (sodium_base642bin(box.data(), box.size(), sealed.data(), sealed.size(), nullptr, &boxLength,
                        &end, sodium_base64_VARIANT_URLSAFE_NO_PADDING) != 0 ||
      end != sealed.data() + sealed.size() || boxLength < crypto_box_SEALBYTES) {
    return std::nullopt;
  }
  std::string plain(boxLength - crypto_box_SEALBYTES, '\0');
  if (crypto_box_seal_open(reinterpret_cast<unsigned char*>(plain.data()), box.data(), boxLength,
                           publicKey_.data(), secretKey_.data()) != 0) {
    return std::nullopt;
  }
  return plain;
}

}  // namespace devservice
