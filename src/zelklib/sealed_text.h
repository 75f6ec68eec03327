#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelklib {

// Seals a text so that only the holder of the secret key can read it: a libsodium sealed box
// (anonymous sender) to a 32-byte public key given in hex, encoded as URL-safe base64 without
// padding, so the result can go into a URL unescaped. nullopt for a malformed key.
std::optional<std::string> SealForPublicKey(std::string_view utf8Text,
                                            std::string_view publicKeyHex);

// Sealed to the service's public key, which the build takes from its key file.
std::optional<std::string> SealForService(std::string_view utf8Text);

// URL-safe base64 without padding, and back (nullopt for text that is not such base64).
std::string ToUrlSafeBase64(std::string_view bytes);
std::optional<std::string> FromUrlSafeBase64(std::string_view text);

}  // namespace zelklib
