#include "zelklib/sealed_text.h"

#include <sodium.h>

#include <vector>

#ifndef ZELK_SERVICE_PUBLIC_KEY_HEX
#error "ZELK_SERVICE_PUBLIC_KEY_HEX must be defined by the build"
#endif

namespace zelklib {

std::string ToUrlSafeBase64(std::string_view bytes) {
  const int variant = sodium_base64_VARIANT_URLSAFE_NO_PADDING;
  std::string text(sodium_base64_encoded_len(bytes.size(), variant), '\0');
  sodium_bin2base64(text.data(), text.size(), reinterpret_cast<const unsigned char*>(bytes.data()),
                    bytes.size(), variant);
  text.resize(text.find('\0'));
  return text;
}

std::optional<std::string> FromUrlSafeBase64(std::string_view text) {
  std::string bytes(text.size(), '\0');
  std::size_t length = 0;
  const char* end = nullptr;
  if (sodium_base642bin(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size(), text.data(),
                        text.size(), nullptr, &length, &end,
                        sodium_base64_VARIANT_URLSAFE_NO_PADDING) != 0 ||
      end != text.data() + text.size()) {
    return std::nullopt;
  }
  bytes.resize(length);
  return bytes;
}

std::optional<std::string> SealForPublicKey(std::string_view utf8Text,
                                            std::string_view publicKeyHex) {
  if (sodium_init() < 0) return std::nullopt;
  unsigned char key[crypto_box_PUBLICKEYBYTES];
  std::size_t keyLength = 0;
  const char* end = nullptr;
  if (sodium_hex2bin(key, sizeof key, publicKeyHex.data(), publicKeyHex.size(), nullptr, &keyLength,
                     &end) != 0 ||
      keyLength != sizeof key || end != publicKeyHex.data() + publicKeyHex.size()) {
    return std::nullopt;
  }
  std::vector<unsigned char> sealed(utf8Text.size() + crypto_box_SEALBYTES);
  if (crypto_box_seal(sealed.data(), reinterpret_cast<const unsigned char*>(utf8Text.data()),
                      utf8Text.size(), key) != 0) {
    return std::nullopt;
  }
  return ToUrlSafeBase64(
      std::string_view(reinterpret_cast<const char*>(sealed.data()), sealed.size()));
}

std::optional<std::string> SealForService(std::string_view utf8Text) {
  return SealForPublicKey(utf8Text, ZELK_SERVICE_PUBLIC_KEY_HEX);
}

}  // namespace zelklib
