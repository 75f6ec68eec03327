#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace devservice {

// Opens the values the client seals with EncryptStr: a sealed box to the service's public key,
// written in URL-safe base64 without padding. Reads the key pair once; stateless afterwards and
// safe to use from every request thread.
class SealedBoxOpener {
 public:
  static constexpr std::size_t kKeyBytes = 32;

  // Reads service_public.hex and service_secret.hex from a folder; raises std::runtime_error
  // naming the file when a key is missing or not 64 hexadecimal digits, or when the two keys
  // do not belong together.
  static SealedBoxOpener FromKeyFolder(const std::string& folder);

  SealedBoxOpener(const std::array<unsigned char, kKeyBytes>& publicKey,
                  const std::array<unsigned char, kKeyBytes>& secretKey);

  // The plain text, or nullopt when the value is not a box sealed to this key.
  std::optional<std::string> open(std::string_view sealed) const;

  const std::array<unsigned char, kKeyBytes>& publicKey() const { return publicKey_; }

 private:
  std::array<unsigned char, kKeyBytes> publicKey_;
  std::array<unsigned char, kKeyBytes> secretKey_;
};

}  // namespace devservice
