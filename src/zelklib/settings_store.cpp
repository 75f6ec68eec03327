#include "zelklib/settings_store.h"

#include <json/json.h>
#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <mutex>

#include "platform/paths.h"
#include "zelklib/file_ops.h"
#include "zelklib/local_secret.h"
#include "zelklib/password_vault.h"

namespace zelklib {
namespace {

// Settings are read, changed and written whole; threads of the client must not interleave
// those steps (the file is one per program directory, and a process has one of those).
std::mutex& settingsMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string textOf(const Json::Value& object, const char* key) {
  const Json::Value& value = object.isObject() ? object[key] : Json::Value::nullSingleton();
  return value.isString() ? value.asString() : std::string();
}

bool flagOf(const Json::Value& object, const char* key, bool fallback) {
  const Json::Value& value = object.isObject() ? object[key] : Json::Value::nullSingleton();
  if (value.isBool()) return value.asBool();
  if (value.isIntegral()) return value.asInt64() != 0;
  return fallback;
}

const Json::Value& memberOf(const Json::Value& root, const char* key) {
  return root.isObject() && root[key].isObject() ? root[key] : Json::Value::nullSingleton();
}

Json::Value& objectMember(Json::Value& root, const char* key) {
  if (!root[key].isObject()) root[key] = Json::Value(Json::objectValue);
  return root[key];
}

// The Data folder, private to the user.
bool ensurePrivateFolder(const std::string& folder) {
  if (!IsFolder(folder) && (!EnsureParentFolder(folder) || mkdir(folder.c_str(), 0700) != 0))
    return false;
  return chmod(folder.c_str(), 0700) == 0;
}

}  // namespace

SettingsStore::SettingsStore(std::string programDir) : programDir_(std::move(programDir)) {}

std::string SettingsStore::settingsPath() const {
  return JoinFolder(JoinFolder(programDir_, "Data"), "settings.json");
}

std::string SettingsStore::keyPath() const {
  return JoinFolder(JoinFolder(programDir_, "Data"), ".key");
}

bool SettingsStore::usable() const {
  // Settings live in the program's own folder; a relative or empty folder would put them
  // wherever the caller happens to stand.
  return !programDir_.empty() && programDir_.front() == '/';
}

Json::Value SettingsStore::read() const {
  if (!usable()) return Json::Value(Json::objectValue);
  const std::string path = settingsPath();
  std::string text;
  if (!platform::ReadWholeFile(path, text)) return Json::Value(Json::objectValue);
  Json::CharReaderBuilder builder;
  builder["collectComments"] = false;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  if (reader->parse(text.data(), text.data() + text.size(), &root, &errors) && root.isObject())
    return root;
  // Keep the damaged file for inspection instead of overwriting it with the next save.
  std::rename(path.c_str(), (path + ".bad").c_str());
  return Json::Value(Json::objectValue);
}

bool SettingsStore::write(const Json::Value& root) const {
  if (!usable()) return false;
  if (!ensurePrivateFolder(JoinFolder(programDir_, "Data"))) return false;
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "  ";
  builder["emitUTF8"] = true;
  return platform::WriteFileAtomically(settingsPath(), Json::writeString(builder, root) + "\n",
                                       0600);
}

template <class Change>
void SettingsStore::update(Change change) const {
  if (!usable()) return;
  std::lock_guard lock(settingsMutex());
  Json::Value root = read();
  change(root);
  write(root);
}

SkinSettings SettingsStore::loadSkin() const {
  Json::Value root;
  {
    std::lock_guard lock(settingsMutex());
    root = read();
  }
  const Json::Value& skin = memberOf(root, "skin");
  SkinSettings settings;
  settings.imageMode = flagOf(skin, "imageMode", false);
  const Json::Value& colour = skin.isObject() ? skin["colour"] : Json::Value::nullSingleton();
  if (colour.isUInt()) settings.colour = colour.asUInt();
  settings.image = textOf(skin, "image");
  return settings;
}

void SettingsStore::saveSkin(const SkinSettings& skin) const {
  update([&](Json::Value& root) {
    Json::Value& node = objectMember(root, "skin");
    node["imageMode"] = skin.imageMode ? 1 : 0;
    node["colour"] = Json::UInt(skin.colour);
    node["image"] = skin.image;
  });
}

std::string SettingsStore::loadDownloadFolder() const {
  std::lock_guard lock(settingsMutex());
  return textOf(memberOf(read(), "option"), "downloadFolder");
}

void SettingsStore::saveDownloadFolder(const std::string& folder) const {
  update([&](Json::Value& root) { objectMember(root, "option")["downloadFolder"] = folder; });
}

LoginSettings SettingsStore::loadLogin() const {
  Json::Value root;
  {
    std::lock_guard lock(settingsMutex());
    root = read();
  }
  LoginSettings settings;
  const Json::Value& login = memberOf(root, "login");
  if (login.isNull()) return settings;
  settings.loginId = textOf(login, "id");
  settings.remember = flagOf(login, "remember", true);
  settings.autoLogin = flagOf(login, "autoLogin", true);
  const Json::Value& password = memberOf(login, "password");
  if (flagOf(password, "keyring", false)) {
    settings.password = PasswordVault(programDir_).lookup().value_or("");
  } else if (const std::string sealed = textOf(password, "sealed"); !sealed.empty()) {
    settings.password = LocalSecretBox(keyPath()).open(sealed).value_or("");
  }
  return settings;
}

void SettingsStore::saveLogin(const LoginSettings& login) const {
  // A password the user did not ask to remember is not kept anywhere.
  const std::string password = login.remember ? login.password : std::string();
  update([&](Json::Value& root) {
    // Sealing may create the key file: it happens under the same lock as the write.
    Json::Value passwordNode(Json::objectValue);
    const PasswordVault vault(programDir_);
    if (password.empty()) {
      vault.clear();
    } else if (vault.store(password)) {
      passwordNode["keyring"] = true;
    } else if (ensurePrivateFolder(JoinFolder(programDir_, "Data"))) {
      if (const auto sealed = LocalSecretBox(keyPath()).seal(password))
        passwordNode["sealed"] = *sealed;
    }
    Json::Value& node = objectMember(root, "login");
    node["id"] = login.loginId;
    node["remember"] = login.remember ? 1 : 0;
    node["autoLogin"] = login.autoLogin ? 1 : 0;
    node["password"] = passwordNode;
  });
}

}  // namespace zelklib
