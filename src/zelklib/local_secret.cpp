#include "zelklib/local_secret.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/paths.h"
#include "zelklib/sealed_text.h"

namespace zelklib {

LocalSecretBox::LocalSecretBox(std::string keyPath) : keyPath_(std::move(keyPath)) {}

std::optional<std::string> LocalSecretBox::key(bool create) const {
  if (sodium_init() < 0) return std::nullopt;
  std::string key;
  struct stat info {};
  if (lstat(keyPath_.c_str(), &info) == 0) {
    // Only a private regular file of ours is trusted as the key; one that others could read is
    // replaced when sealing (what it sealed may have been read already).
    const bool trusted =
        S_ISREG(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 077) == 0;
    if (trusted && platform::ReadWholeFile(keyPath_, key) &&
        key.size() == crypto_secretbox_KEYBYTES) {
      return key;
    }
  }
  if (!create) return std::nullopt;
  key.assign(crypto_secretbox_KEYBYTES, '\0');
  randombytes_buf(key.data(), key.size());
  if (!platform::WriteFileAtomically(keyPath_, key, 0600)) return std::nullopt;
  return key;
}

std::optional<std::string> LocalSecretBox::seal(std::string_view plain) const {
  const auto secret = key(true);
  if (!secret) return std::nullopt;
  std::string box(crypto_secretbox_NONCEBYTES + crypto_secretbox_MACBYTES + plain.size(), '\0');
  auto* bytes = reinterpret_cast<unsigned char*>(box.data());
  randombytes_buf(bytes, crypto_secretbox_NONCEBYTES);
  crypto_secretbox_easy(bytes + crypto_secretbox_NONCEBYTES,
                        reinterpret_cast<const unsigned char*>(plain.data()), plain.size(), bytes,
                        reinterpret_cast<const unsigned char*>(secret->data()));
  return ToUrlSafeBase64(box);
}

std::optional<std::string> LocalSecretBox::open(std::string_view sealed) const {
  const auto secret = key(false);
  const auto box = FromUrlSafeBase64(sealed);
  if (!secret || !box || box->size() < crypto_secretbox_NONCEBYTES + crypto_secretbox_MACBYTES)
    return std::nullopt;
  const auto* bytes = reinterpret_cast<const unsigned char*>(box->data());
  std::string plain(box->size() - crypto_secretbox_NONCEBYTES - crypto_secretbox_MACBYTES, '\0');
  if (crypto_secretbox_open_easy(reinterpret_cast<unsigned char*>(plain.data()),
                                 bytes + crypto_secretbox_NONCEBYTES,
                                 box->size() - crypto_secretbox_NONCEBYTES, bytes,
                                 reinterpret_cast<const unsigned char*>(secret->data())) != 0) {
    return std::nullopt;
  }
  return plain;
}

}  // namespace zelklib
