#pragma once

#include <optional>
#include <string>

namespace zelklib {

// The login password in the desktop's Secret Service (libsecret), keyed by the program
// directory. Every call gives up after a short time: with no D-Bus session, no keyring service
// or a keyring that waits for the user, the caller falls back to sealing the password itself.
class PasswordVault {
 public:
  explicit PasswordVault(std::string programDir, int timeoutMs = 3000);

  // A session bus is announced in the environment (no keyring is sought without one).
  static bool SessionBusAnnounced();

  bool store(const std::string& password) const;
  // nullopt when there is no keyring or it holds no password for this directory.
  std::optional<std::string> lookup() const;
  void clear() const;

 private:
  std::string programDir_;
  int timeoutMs_;
};

}  // namespace zelklib
