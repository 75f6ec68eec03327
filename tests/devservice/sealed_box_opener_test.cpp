#include <gtest/gtest.h>
#include <sodium.h>

#include "devservice/options.h"
#include "devservice/sealed_box_opener.h"
#include "support/temp_dir.h"

namespace devservice {
namespace {

std::string SealTo(const std::array<unsigned char, 32>& publicKey, const std::string& plain,
                   int variant) {
  std::string box(plain.size() + crypto_box_SEALBYTES, '\0');
  crypto_box_seal(reinterpret_cast<unsigned char*>(box.data()),
                  reinterpret_cast<const unsigned char*>(plain.data()), plain.size(),
                  publicKey.data());
  std::string text(sodium_base64_encoded_len(box.size(), variant), '\0');
  sodium_bin2base64(text.data(), text.size(), reinterpret_cast<const unsigned char*>(box.data()),
                    box.size(), variant);
  text.resize(text.find('\0'));
  return text;
}

TEST(SealedBoxOpener, OpensWhatIsSealedToTheCommittedKeyAndNothingElse) {
  const SealedBoxOpener opener = SealedBoxOpener::FromKeyFolder(DefaultKeyDir());
  const int urlSafe = sodium_base64_VARIANT_URLSAFE_NO_PADDING;
  EXPECT_EQ(opener.open(SealTo(opener.publicKey(), "13800000000", urlSafe)), "13800000000");
  EXPECT_EQ(opener.open(SealTo(opener.publicKey(), "密码ab", urlSafe)), "密码ab");
  EXPECT_EQ(opener.open(SealTo(opener.publicKey(), "", urlSafe)), "");

  std::array<unsigned char, 32> otherPublic{}, otherSecret{};
  crypto_box_keypair(otherPublic.data(), otherSecret.data());
  EXPECT_FALSE(opener.open(SealTo(otherPublic, "123456", urlSafe)));

  std::string flipped = SealTo(opener.publicKey(), "123456", urlSafe);
  flipped[10] = flipped[10] == 'a' ? 'b' : 'a';
  EXPECT_FALSE(opener.open(flipped));
  // Padded or standard base64 is another encoding than the client's.
  const std::string padded = SealTo(opener.publicKey(), "1", sodium_base64_VARIANT_URLSAFE);
  ASSERT_EQ(padded.back(), '=') << "49 bytes encode with padding";
  EXPECT_FALSE(opener.open(padded));
  for (const char* notABox : {"", "123456", "MTIzNDU2", "!!!!", "a"})
    EXPECT_FALSE(opener.open(notABox)) << notABox;
  EXPECT_FALSE(opener.open(std::string(5000, 'A')));
}

TEST(SealedBoxOpener, KeyFilesMustHoldOnePairOfHexKeys) {
  testing_support::TempDir dir;
  std::array<unsigned char, 32> publicKey{}, secretKey{}, otherPublic{}, otherSecret{};
  crypto_box_keypair(publicKey.data(), secretKey.data());
  crypto_box_keypair(otherPublic.data(), otherSecret.data());
  const auto hex = [](const std::array<unsigned char, 32>& key) {
    char text[65];
    sodium_bin2hex(text, sizeof text, key.data(), key.size());
    return std::string(text) + "\n";
  };
  EXPECT_THROW(SealedBoxOpener::FromKeyFolder(dir.path()), std::runtime_error);
  dir.write("service_public.hex", hex(publicKey));
  dir.write("service_secret.hex", hex(otherSecret));
  EXPECT_THROW(SealedBoxOpener::FromKeyFolder(dir.path()), std::runtime_error);
  dir.write("service_secret.hex", "zz" + hex(secretKey).substr(2));
  EXPECT_THROW(SealedBoxOpener::FromKeyFolder(dir.path()), std::runtime_error);
  dir.write("service_secret.hex", hex(secretKey));
  const SealedBoxOpener opener = SealedBoxOpener::FromKeyFolder(dir.path());
  EXPECT_EQ(opener.open(SealTo(publicKey, "ok", sodium_base64_VARIANT_URLSAFE_NO_PADDING)), "ok");
}

}  // namespace
}  // namespace devservice
