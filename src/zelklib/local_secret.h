#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelklib {

// Seals small secrets for this installation when no keyring is available: libsodium secretbox
// under a random key kept in a file of mode 0600 (created on first use). The sealed form is
// URL-safe base64 of nonce and cipher text.
class LocalSecretBox {
 public:
  explicit LocalSecretBox(std::string keyPath);

  std::optional<std::string> seal(std::string_view plain) const;
  // nullopt when the text was not sealed with this key (damaged, or the key was replaced).
  std::optional<std::string> open(std::string_view sealed) const;

 private:
  // The key, created when the file does not exist; nullopt when it cannot be had.
  std::optional<std::string> key(bool create) const;

  std::string keyPath_;
};

}  // namespace zelklib
