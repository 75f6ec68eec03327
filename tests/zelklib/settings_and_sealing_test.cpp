#include <gtest/gtest.h>
#include <sodium.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"
#include "zelklib/local_secret.h"
#include "zelklib/sealed_text.h"
#include "zelklib/settings_store.h"

namespace zelklib {
namespace {

std::string readHexKey(const std::string& path) {
  std::ifstream in(path);
  std::string hex;
  in >> hex;
  return hex;
}

// Opens a value sealed by the client with the development service's secret key.
std::optional<std::string> openAsService(const std::string& sealed) {
  const std::string keys = ZELK_DEVSERVICE_KEYS_DIR;
  unsigned char publicKey[crypto_box_PUBLICKEYBYTES];
  unsigned char secretKey[crypto_box_SECRETKEYBYTES];
  const std::string publicHex = readHexKey(keys + "/service_public.hex");
  const std::string secretHex = readHexKey(keys + "/service_secret.hex");
  if (sodium_hex2bin(publicKey, sizeof publicKey, publicHex.c_str(), publicHex.size(), nullptr,
                     nullptr, nullptr) != 0 ||
      sodium_hex2bin(secretKey, sizeof secretKey, secretHex.c_str(), secretHex.size(), nullptr,
                     nullptr, nullptr) != 0) {
    return std::nullopt;
  }
  const auto box = FromUrlSafeBase64(sealed);
  if (!box || box->size() < crypto_box_SEALBYTES) return std::nullopt;
  std::string plain(box->size() - crypto_box_SEALBYTES, '\0');
  if (crypto_box_seal_open(reinterpret_cast<unsigned char*>(plain.data()),
                           reinterpret_cast<const unsigned char*>(box->data()), box->size(),
                           publicKey, secretKey) != 0) {
    return std::nullopt;
  }
  return plain;
}

TEST(SealedText, OnlyTheServiceCanOpenWhatTheClientSeals) {
  ASSERT_EQ(sodium_init() >= 0, true);
  const std::string publicHex =
      readHexKey(std::string(ZELK_DEVSERVICE_KEYS_DIR) + "/service_public.hex");
  const auto sealed = SealForPublicKey("密码 p@ss+/=", publicHex);
  ASSERT_TRUE(sealed);
  EXPECT_EQ(
      sealed->find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
      std::string::npos)
      << "URL-safe base64 without padding: " << *sealed;
  EXPECT_EQ(openAsService(*sealed), "密码 p@ss+/=");
  EXPECT_NE(SealForPublicKey("same", publicHex), SealForPublicKey("same", publicHex))
      << "fresh every time";
  EXPECT_EQ(SealForPublicKey("x", "abcd"), std::nullopt);
  EXPECT_EQ(SealForPublicKey("x", std::string(64, 'g')), std::nullopt);

  if (readHexKey(ZELK_SERVICE_PUBLIC_KEY_FILE) != publicHex)
    GTEST_SKIP() << "built for another service key";
  const auto forService = SealForService("13800138000");
  ASSERT_TRUE(forService);
  EXPECT_EQ(openAsService(*forService), "13800138000");
}

TEST(SealedText, Base64RoundTripsAndRejectsOtherText) {
  const std::string bytes("\x00\xFF\xFE\x01z", 5);
  EXPECT_EQ(ToUrlSafeBase64(bytes), "AP_-AXo");
  EXPECT_EQ(FromUrlSafeBase64("AP_-AXo"), bytes);
  EXPECT_EQ(FromUrlSafeBase64("AP/+AXo"), std::nullopt);
  EXPECT_EQ(FromUrlSafeBase64("AP_-AXo="), std::nullopt);
}

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    // No session bus: the password goes into the file, sealed, as on a machine without keyring.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
  }
  struct stat statOf(const std::string& relative) const {
    struct stat info {};
    EXPECT_EQ(lstat(dir_.file(relative).c_str(), &info), 0) << relative;
    return info;
  }

  testing_support::TempDir dir_;
  SettingsStore store_{dir_.path()};
};

TEST_F(Settings, NothingStoredGivesTheFallbacks) {
  const SkinSettings skin = store_.loadSkin();
  EXPECT_FALSE(skin.imageMode);
  EXPECT_EQ(skin.colour, 0u);
  EXPECT_EQ(skin.image, "");
  EXPECT_EQ(store_.loadDownloadFolder(), "");
  const LoginSettings login = store_.loadLogin();
  EXPECT_EQ(login.loginId, "");
  EXPECT_EQ(login.password, "");
  EXPECT_TRUE(login.remember);
  EXPECT_TRUE(login.autoLogin);
  EXPECT_FALSE(std::filesystem::exists(dir_.file("Data"))) << "reading writes nothing";
}

TEST_F(Settings, EachPartIsKeptBesideTheOthersInAPrivateFile) {
  store_.saveSkin({true, 0xFF336699u, "bg_三.jpg"});
  store_.saveDownloadFolder("/home/u/资料");
  store_.saveLogin({"13800138000", "s3cret密码", true, false});
  const SkinSettings skin = store_.loadSkin();
  EXPECT_TRUE(skin.imageMode);
  EXPECT_EQ(skin.colour, 0xFF336699u);
  EXPECT_EQ(skin.image, "bg_三.jpg");
  EXPECT_EQ(store_.loadDownloadFolder(), "/home/u/资料");
  const LoginSettings login = store_.loadLogin();
  EXPECT_EQ(login.loginId, "13800138000");
  EXPECT_EQ(login.password, "s3cret密码");
  EXPECT_TRUE(login.remember);
  EXPECT_FALSE(login.autoLogin);

  EXPECT_EQ(statOf("Data").st_mode & 0777, 0700u);
  EXPECT_EQ(statOf("Data/settings.json").st_mode & 0777, 0600u);
  EXPECT_EQ(statOf("Data/.key").st_mode & 0777, 0600u);
  const std::string file = dir_.read("Data/settings.json");
  EXPECT_EQ(file.find("s3cret"), std::string::npos) << "never in plain text";
  EXPECT_NE(file.find("sealed"), std::string::npos);
}

TEST_F(Settings, APasswordNotToBeRememberedIsNotKept) {
  store_.saveLogin({"user", "first", true, true});
  store_.saveLogin({"user", "second", false, false});
  const LoginSettings login = store_.loadLogin();
  EXPECT_EQ(login.loginId, "user");
  EXPECT_EQ(login.password, "");
  EXPECT_FALSE(login.remember);
  EXPECT_EQ(dir_.read("Data/settings.json").find("sealed"), std::string::npos);
}

TEST_F(Settings, AReplacedOrExposedKeyLosesThePasswordButNothingElse) {
  store_.saveLogin({"user", "secret", true, true});
  dir_.write("Data/.key", std::string(32, 'k'));  // another key
  chmod(dir_.file("Data/.key").c_str(), 0600);
  EXPECT_EQ(store_.loadLogin().password, "");
  EXPECT_EQ(store_.loadLogin().loginId, "user");

  store_.saveLogin({"user", "again", true, true});
  chmod(dir_.file("Data/.key").c_str(), 0644);  // readable by others: no longer trusted
  EXPECT_EQ(store_.loadLogin().password, "");
  store_.saveLogin({"user", "fresh", true, true});
  EXPECT_EQ(statOf("Data/.key").st_mode & 0777, 0600u) << "a new private key replaced it";
  EXPECT_EQ(store_.loadLogin().password, "fresh");
}

TEST_F(Settings, AnEmptyOrRelativeProgramFolderStoresNothingAnywhere) {
  // Whatever the caller's working folder, nothing lands there.
  const std::string previous = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  for (const std::string folder : {"", "relative", "./x"}) {
    const SettingsStore store(folder);
    store.saveSkin({true, 0xFF112233u, "bg.jpg"});
    store.saveDownloadFolder("/tmp/a");
    store.saveLogin({"13800138000", "pw", true, true});
    EXPECT_FALSE(store.loadSkin().imageMode);
    EXPECT_EQ(store.loadDownloadFolder(), "");
    EXPECT_EQ(store.loadLogin().loginId, "");
  }
  std::filesystem::current_path(previous);
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(Settings, ACorruptFileIsKeptAsideAndFallbacksAreUsed) {
  dir_.write("Data/settings.json", "{\"skin\": {\"imageMode\": 1, ");
  EXPECT_FALSE(store_.loadSkin().imageMode);
  EXPECT_EQ(dir_.read("Data/settings.json.bad"), "{\"skin\": {\"imageMode\": 1, ");
  EXPECT_FALSE(std::filesystem::exists(dir_.file("Data/settings.json")));
  EXPECT_TRUE(store_.loadLogin().remember);
  store_.saveDownloadFolder("/d");
  EXPECT_EQ(store_.loadDownloadFolder(), "/d");

  dir_.write("Data/settings.json", "[1, 2]");
  EXPECT_EQ(store_.loadDownloadFolder(), "");
  dir_.write("Data/settings.json", R"({"skin": "blue", "login": {"id": 7, "remember": "yes"}})");
  EXPECT_EQ(store_.loadSkin().colour, 0u) << "values of the wrong kind read as fallbacks";
  EXPECT_EQ(store_.loadLogin().loginId, "");
  EXPECT_TRUE(store_.loadLogin().remember);
}

TEST(LocalSecret, SealedTextsOpenOnlyWithTheirKey) {
  testing_support::TempDir dir;
  const LocalSecretBox box(dir.file(".key"));
  EXPECT_EQ(box.open("anything"), std::nullopt) << "no key yet";
  const auto sealed = box.seal("pw");
  ASSERT_TRUE(sealed);
  EXPECT_EQ(box.open(*sealed), "pw");
  std::string tampered = *sealed;
  tampered[tampered.size() / 2] = tampered[tampered.size() / 2] == 'A' ? 'B' : 'A';
  EXPECT_EQ(box.open(tampered), std::nullopt);
  EXPECT_EQ(LocalSecretBox(dir.file("other.key")).open(*sealed), std::nullopt);
}

}  // namespace
}  // namespace zelklib
