#include "devservice/password_hash.h"

#include <sodium.h>

#include <stdexcept>

namespace devservice {

namespace {

constexpr unsigned long long kOpsLimit = 2;
constexpr std::size_t kMemLimit = 4 * 1024 * 1024;

}  // namespace

std::string HashPassword(const std::string& password) {
  if (sodium_init() < 0) throw std::runtime_error("libsodium cannot be initialised");
  char hash[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str(hash, password.data(), password.size(), kOpsLimit, kMemLimit) != 0) {
    throw std::runtime_error("password hashing ran out of memory");
  }
  return hash;
}

bool VerifyPassword(const std::string& hash, const std::string& password) {
  if (hash.empty() || hash.size() >= crypto_pwhash_STRBYTES) return false;
  return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

}  // namespace devservice
