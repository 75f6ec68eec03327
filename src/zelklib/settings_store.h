#pragma once

#include <cstdint>
#include <string>

#include <json/value.h>

namespace zelklib {

struct SkinSettings {
  bool imageMode = false;
  std::uint32_t colour = 0;
  std::string image;
};

struct LoginSettings {
  std::string loginId;
  std::string password;
  bool remember = true;
  bool autoLogin = true;
};

// The stored settings of one program directory, in one file Data/settings.json (folder 0700,
// file 0600, rewritten atomically). The password is kept in the Secret Service when a keyring
// answers, else sealed in the file under the installation's key (Data/.key); it is never
// written in plain text, and not kept at all when "remember" is off. A file that cannot be read
// as settings is kept aside as settings.json.bad and every value reads as its fallback.
class SettingsStore {
 public:
  explicit SettingsStore(std::string programDir);

  SkinSettings loadSkin() const;
  void saveSkin(const SkinSettings& skin) const;
  std::string loadDownloadFolder() const;
  void saveDownloadFolder(const std::string& folder) const;
  LoginSettings loadLogin() const;
  void saveLogin(const LoginSettings& login) const;

  std::string settingsPath() const;
  std::string keyPath() const;

 private:
  bool usable() const;
  Json::Value read() const;
  bool write(const Json::Value& root) const;
  // Reads, lets the change edit the document, writes it back: one step under the lock.
  template <class Change>
  void update(Change change) const;

  std::string programDir_;
};

}  // namespace zelklib
